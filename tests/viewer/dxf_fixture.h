#pragma once
// Drawing files written from a compact text, loaded, and their programs read back as text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "tests/common/temp_folder.h"
#include "viewer/dxf/drawing.h"

namespace viewer_test {

// "0|SECTION|2|ENTITIES" → one line per field, each ended by `eol`; a backslash before "|"
// makes it part of the field (MTEXT font options). No fields, no lines.
inline std::string pairs(std::string_view fields, std::string_view eol = "\r\n") {
  std::string out;
  if (fields.empty()) return out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] == '\\' && i + 1 < fields.size() && fields[i + 1] == '|') {
      out.push_back(fields[++i]);
    } else if (fields[i] == '|') {
      out.append(eol);
    } else {
      out.push_back(fields[i]);
    }
  }
  return out.append(eol);
}

// A LAYER table, one entry per "name|colour index" part.
inline std::string layerTable(std::initializer_list<std::string_view> entries) {
  std::string out = pairs("0|SECTION|2|TABLES|0|TABLE|2|LAYER");
  for (auto entry : entries)
    out += pairs("0|LAYER|2|" + std::string(entry.substr(0, entry.find('|'))) + "|62|" +
                 std::string(entry.substr(entry.find('|') + 1)));
  return out + pairs("0|ENDTAB|0|ENDSEC");
}

// An ENTITIES section around `entities` (pairs text, "|" separated).
inline std::string entitiesSection(std::string_view entities) {
  return pairs("0|SECTION|2|ENTITIES") + pairs(entities) + pairs("0|ENDSEC");
}

inline const std::string kEof = pairs("0|EOF");

struct Loaded {
  bool ok = false;
  viewer::Drawing drawing;
  viewer::LoadError error;
};

inline Loaded loadText(const TempFolder& temp, std::string_view bytes, const char* name = "t.dxf") {
  writeBytes(temp / name, bytes);
  Loaded l;
  l.ok = viewer::loadDrawing((temp / name).string(), l.drawing, l.error);
  return l;
}

inline std::string number(double v) {
  if (std::fabs(v) < 5e-7) v = 0;  // no "-0"
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

inline std::string vertex(const viewer::Vec3& v) { return number(v.x) + " " + number(v.y) + " " + number(v.z); }

// A program as text, one op after the other ("; " between): "push; colour(1 0 0);
// lineStrip(0 0 0, 1 1 0); pop". Blocks are called by name, texts shown as their glyphs.
inline std::string describe(const viewer::Program& p, const viewer::Drawing& d) {
  using viewer::OpKind;
  std::string out;
  auto points = [&](std::uint32_t first, std::uint32_t count) {
    std::string s;
    for (std::uint32_t i = first; i < first + count && i < p.vertices.size(); ++i)
      s += (i > first ? ", " : "") + vertex(p.vertices[i]);
    return s;
  };
  for (const auto& op : p.ops) {
    if (!out.empty()) out += "; ";
    switch (op.kind) {
      case OpKind::push: out += "push"; break;
      case OpKind::pop: out += "pop"; break;
      case OpKind::translate: out += "translate(" + vertex({op.x, op.y, op.z}) + ")"; break;
      case OpKind::scale: out += "scale(" + vertex({op.x, op.y, op.z}) + ")"; break;
      case OpKind::rotate: out += "rotate(" + number(op.w) + " about " + vertex({op.x, op.y, op.z}) + ")"; break;
      case OpKind::colour: out += "colour(" + vertex({op.x, op.y, op.z}) + ")"; break;
      case OpKind::lineStrip: out += "lineStrip(" + points(op.first, op.count) + ")"; break;
      case OpKind::lineLoop: out += "lineLoop(" + points(op.first, op.count) + ")"; break;
      case OpKind::points: out += "points(" + points(op.first, op.count) + ")"; break;
      case OpKind::quad: out += "quad(" + points(op.first, op.count) + ")"; break;
      case OpKind::triangles: out += "triangles(" + points(op.first, op.count) + ")"; break;
      case OpKind::area: {
        out += "area(";
        for (std::uint32_t c = op.first; c < op.first + op.count && c < p.contours.size(); ++c)
          out += (c > op.first ? " | " : "") + points(p.contours[c].first, p.contours[c].count);
        out += ")";
        break;
      }
      case OpKind::spline: {
        out += "spline(" + points(op.first, op.count) + "; knots";
        for (std::uint32_t k = op.first2; k < op.first2 + op.count2 && k < p.knots.size(); ++k)
          out += " " + number(p.knots[k]);
        out += ")";
        break;
      }
      case OpKind::text: {
        out += "text(\"";
        for (std::uint32_t i = op.first; i < op.first + op.count && i < p.text.size(); ++i) {
          if (p.text[i] < d.glyphs.size()) platform::appendUtf8(d.glyphs[p.text[i]], out);
        }
        out += "\")";
        break;
      }
      case OpKind::callBlock:
        out += "callBlock(" + (op.first < d.blocks.size() ? d.blocks[op.first].name : std::string("?")) + ")";
        break;
    }
  }
  return out;
}

inline std::string notes(const viewer::Drawing& d) {
  std::string out;
  for (const auto& n : d.notes) out += n + "\n";
  return out;
}

inline long long countOf(const viewer::Drawing& d, std::string_view kind) {
  for (const auto& [k, n] : d.entityCounts)
    if (k == kind) return n;
  return 0;
}

}  // namespace viewer_test
