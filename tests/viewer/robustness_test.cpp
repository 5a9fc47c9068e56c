// Garbage, truncated and damaged files: the reader returns, and a drawing it accepts only
// refers to what it holds (the GL layer replays it without checks), with no block calling
// itself.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;
using viewer::OpKind;

namespace {

// Every kind, blocks inserting blocks, a layout with its viewport and paper space.
std::string sample() {
  return pairs(
      "0|SECTION|2|HEADER|9|$ACADVER|1|AC1018|9|$PDMODE|70|3|9|$PDSIZE|40|2|0|ENDSEC|"
      "0|SECTION|2|TABLES|0|TABLE|2|VPORT|0|VPORT|2|*ACTIVE|12|5|22|5|16|0|26|0|36|1|40|10|41|1.5|0|ENDTAB|"
      "0|TABLE|2|LAYER|0|LAYER|2|A|62|1|0|LAYER|2|B|62|-3|420|255|0|ENDTAB|0|ENDSEC|"
      "0|SECTION|2|BLOCKS|"
      "0|BLOCK|330|1F|2|*Model_Space|70|0|0|ENDBLK|"
      "0|BLOCK|330|1E|2|*Paper_Space|70|0|0|ENDBLK|"
      "0|BLOCK|330|30|2|In|70|0|0|CIRCLE|8|A|40|1|0|INSERT|2|Out|0|ENDBLK|"
      "0|BLOCK|330|31|2|Out|70|0|0|INSERT|2|In|41|2|0|TEXT|1|ab|40|1|0|ENDBLK|"
      "0|BLOCK|330|32|2|*U1|70|1|0|LINE|11|1|0|ENDBLK|"
      "0|ENDSEC|"
      "0|SECTION|2|ENTITIES|"
      "0|VIEWPORT|330|1E|67|1|10|5|20|5|40|10|41|10|12|0|22|0|45|10|"
      "0|LINE|8|A|10|0|20|0|11|1|21|1|"
      "0|POLYLINE|8|B|70|1|0|VERTEX|10|0|20|0|0|VERTEX|10|1|20|0|0|VERTEX|10|1|20|1|0|SEQEND|"
      "0|LWPOLYLINE|8|A|90|3|70|1|10|0|20|0|40|1|10|2|20|0|42|1|10|2|20|2|"
      "0|SPLINE|8|A|72|8|40|0|40|0|40|0|40|0|40|1|40|1|40|1|40|1|10|0|20|0|10|1|20|1|10|2|20|0|10|3|20|1|"
      "0|XLINE|10|0|20|0|11|1|21|0|0|RAY|10|0|20|0|11|0|21|1|"
      "0|ARC|8|B|10|0|20|0|40|1|50|10|51|5|0|ELLIPSE|11|2|40|0.5|41|0|42|3|210|0|220|1|230|1|"
      "0|POINT|8|A|62|3|10|1|20|2|0|SOLID|10|0|11|1|12|0|13|1|23|1|"
      "0|TEXT|8|A|1|地図|40|2|50|45|0|MTEXT|8|B|1|{\\fA\\|b0;xy}|40|1|11|1|21|1|"
      "0|INSERT|8|A|2|Out|10|1|20|1|62|5|0|INSERT|2|*U1|0|INSERT|2|Gone|"
      "0|HATCH|8|A|30|1|91|1|92|1|93|3|72|1|10|0|20|0|11|1|21|0|72|1|10|1|20|0|11|1|21|1|72|1|10|1|20|1|11|0|21|0|"
      "97|0|75|0|"
      "0|3DFACE|10|0|20|0|11|1|21|0|12|1|22|1|13|0|23|1|"
      "0|LINE|8|A|67|1|330|1E|11|5|"
      "0|ENDSEC|"
      "0|SECTION|2|OBJECTS|0|LAYOUT|1|Model|71|0|330|1F|0|LAYOUT|1|L1|71|1|10|0|20|0|11|10|21|10|330|1E|0|ENDSEC|"
      "0|EOF");
}

// What the GL layer relies on, "" when it holds.
std::string check(const viewer::Drawing& d) {
  if (d.views.empty()) return "no model view";
  if (d.layouts.empty()) return "no model tab";
  auto program = [&](const viewer::Program& p) -> std::string {
    int depth = 0;
    for (const auto& op : p.ops) {
      auto within = [](std::size_t first, std::size_t count, std::size_t size) { return first + count <= size; };
      switch (op.kind) {
        case OpKind::push: ++depth; break;
        case OpKind::pop:
          if (--depth < 0) return "pop without push";
          break;
        case OpKind::points:
        case OpKind::lineStrip:
        case OpKind::lineLoop:
        case OpKind::triangles:
          if (!within(op.first, op.count, p.vertices.size())) return "vertices out of range";
          break;
        case OpKind::quad:
          if (op.count != 4 || !within(op.first, 4, p.vertices.size())) return "quad out of range";
          break;
        case OpKind::area:
          if (!within(op.first, op.count, p.contours.size())) return "contours out of range";
          for (std::uint32_t c = op.first; c < op.first + op.count; ++c)
            if (!within(p.contours[c].first, p.contours[c].count, p.vertices.size())) return "contour out of range";
          break;
        case OpKind::spline:
          if (!within(op.first, op.count, p.vertices.size()) || !within(op.first2, op.count2, p.knots.size()) ||
              op.count2 != op.count + 4)
            return "spline out of range";
          break;
        case OpKind::text:
          if (!within(op.first, op.count, p.text.size())) return "text out of range";
          for (std::uint32_t i = op.first; i < op.first + op.count; ++i)
            if (p.text[i] >= d.glyphs.size()) return "glyph out of range";
          break;
        case OpKind::callBlock:
          if (op.first >= d.blocks.size() || !d.blocks[op.first].compiled) return "call of no drawn block";
          break;
        default: break;
      }
    }
    return depth == 0 ? "" : "push without pop";
  };
  if (auto e = program(d.modelSpace); !e.empty()) return "model space: " + e;
  for (const auto& b : d.blocks)
    if (auto e = program(b.program); !e.empty()) return "block " + b.name + ": " + e;
  std::vector<int> state(d.blocks.size(), 0);
  std::function<bool(std::size_t)> cycle = [&](std::size_t b) {
    if (state[b] != 0) return state[b] == 1;
    state[b] = 1;
    for (const auto& op : d.blocks[b].program.ops)
      if (op.kind == OpKind::callBlock && cycle(op.first)) return true;
    state[b] = 2;
    return false;
  };
  for (std::size_t b = 0; b < d.blocks.size(); ++b)
    if (cycle(b)) return "blocks call in a cycle";
  return "";
}

struct Tally {
  int loaded = 0, refused = 0;
};

void loadAndCheck(const TempFolder& temp, const std::string& bytes, Tally& tally, const std::string& what) {
  auto l = loadText(temp, bytes, "fuzz.dxf");
  if (!l.ok) {
    ++tally.refused;
    EXPECT_FALSE(l.error.text.empty()) << what;
    return;
  }
  ++tally.loaded;
  const auto problem = check(l.drawing);
  EXPECT_EQ(problem, "") << what;
}

TEST(Robustness, TheSampleIsWholeAndSound) {
  TempFolder temp;
  auto l = loadText(temp, sample());
  ASSERT_TRUE(l.ok) << l.error.text;
  EXPECT_EQ(check(l.drawing), "");
  EXPECT_EQ(l.drawing.blocks.size(), 5u);
  EXPECT_EQ(l.drawing.views.size(), 2u);
  EXPECT_EQ(l.drawing.points.size(), 1u);
  EXPECT_FALSE(l.drawing.blocks[1].program.empty());          // the layout's paper space
  EXPECT_EQ(l.drawing.notes.size(), 3u) << notes(l.drawing);  // layer 0, Gone, and In ↔ Out
}

TEST(Robustness, EveryPrefixOfAFile) {
  TempFolder temp;
  const std::string whole = sample();
  Tally tally;
  for (std::size_t n = 0; n <= whole.size(); ++n) loadAndCheck(temp, whole.substr(0, n), tally, std::to_string(n));
  EXPECT_GT(tally.loaded, 0);
}

TEST(Robustness, Garbage) {
  TempFolder temp;
  std::mt19937 rng(20240611);
  const std::vector<std::string> words = {
      "0",     "SECTION", "ENDSEC",   "ENTITIES", "BLOCKS", "BLOCK",  "ENDBLK",     "TABLES", "LAYER",
      "VPORT", "ENDTAB",  "INSERT",   "POLYLINE", "VERTEX", "SEQEND", "LWPOLYLINE", "HATCH",  "SPLINE",
      "TEXT",  "MTEXT",   "VIEWPORT", "OBJECTS",  "LAYOUT", "EOF",    "2",          "8",      "10",
      "20",    "21",      "40",       "62",       "67",     "70",     "71",         "72",     "90",
      "93",    "97",      "330",      "420",      "-1",     "1E",     "1e300",      "A",      ""};
  Tally tally;
  for (int i = 0; i < 400; ++i) {
    std::string bytes;
    const int size = std::uniform_int_distribution<int>(0, 3000)(rng);
    if (i % 2 == 0) {
      for (int k = 0; k < size; ++k) bytes.push_back(static_cast<char>(rng() & 0xFF));
    } else {
      // Lines of the file's own words, so that the reading goes deep.
      for (int k = 0; k < size / 4; ++k) bytes += words[rng() % words.size()] + (rng() % 3 ? "\r\n" : "\n");
    }
    loadAndCheck(temp, bytes, tally, "garbage " + std::to_string(i));
  }
  EXPECT_GT(tally.loaded, 0);
}

TEST(Robustness, DamagedFiles) {
  TempFolder temp;
  const std::string whole = sample();
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < whole.size();) {
    const auto end = whole.find("\r\n", start);
    lines.push_back(whole.substr(start, end - start));
    start = end + 2;
  }
  const std::vector<std::string> words = {"SECTION", "ENDSEC", "BLOCK", "ENDBLK", "INSERT", "In", "Out", "POLYLINE",
                                          "VERTEX",  "SEQEND", "0",     "-5",     "1e308",  "x",  "64",  "999999999"};
  std::mt19937 rng(7);
  Tally tally;
  for (int variant = 0; variant < 3000; ++variant) {
    std::string bytes;
    const int kind = variant % 3;
    if (kind == 0) {
      bytes = whole;
      for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips)
        bytes[rng() % bytes.size()] ^= static_cast<char>(1u << (rng() % 8));
    } else {
      auto damaged = lines;
      for (int edits = 1 + static_cast<int>(rng() % 3); edits > 0 && !damaged.empty(); --edits) {
        const std::size_t at = rng() % damaged.size();
        switch (rng() % 4) {
          case 0: damaged.erase(damaged.begin() + static_cast<long>(at)); break;
          case 1: damaged.insert(damaged.begin() + static_cast<long>(at), damaged[rng() % damaged.size()]); break;
          case 2: std::swap(damaged[at], damaged[rng() % damaged.size()]); break;
          default: damaged[at] = words[rng() % words.size()]; break;
        }
      }
      for (const auto& line : damaged) bytes += line + (kind == 1 ? "\r\n" : "\n");
    }
    loadAndCheck(temp, bytes, tally, "variant " + std::to_string(variant));
  }
  EXPECT_GT(tally.loaded, 0);
  EXPECT_GT(tally.refused, 0);
}

}  // namespace
