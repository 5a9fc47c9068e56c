// Character outlines for the glyph lists: found in the installed fonts, in em units, with
// their counters left open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "viewer/gl/glyphs.h"

namespace {

struct Extent {
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  double area = 0;  // of the triangles, overlaps counted twice
};

Extent extentOf(const viewer::GlyphShape& s) {
  Extent e;
  const auto& t = s.triangles;
  for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
    e.minX = std::min(e.minX, t[i]);
    e.maxX = std::max(e.maxX, t[i]);
    e.minY = std::min(e.minY, t[i + 1]);
    e.maxY = std::max(e.maxY, t[i + 1]);
  }
  for (std::size_t i = 0; i + 5 < t.size(); i += 6)
    e.area += std::abs((t[i + 2] - t[i]) * (t[i + 5] - t[i + 1]) - (t[i + 4] - t[i]) * (t[i + 3] - t[i + 1])) / 2;
  return e;
}

TEST(Glyphs, CharactersComeInEmUnitsWithTheirAdvance) {
  struct Case {
    char32_t c;
    float minAdvance, maxAdvance;
    bool inked;
  };
  const Case cases[] = {
      {U'日', 1.0f, 1.0f, true},  {U'ア', 1.0f, 1.0f, true},  {U'Ａ', 1.0f, 1.0f, true},
      {U'A', 0.5f, 0.75f, true},  {U'i', 0.15f, 0.35f, true}, {U' ', 0.15f, 0.4f, false},
      {U'　', 1.0f, 1.0f, false}, {U'髙', 1.0f, 1.0f, true},  {U'𠮷', 1.0f, 1.0f, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<unsigned>(c.c));
    const auto& s = viewer::glyphShape(c.c);
    EXPECT_TRUE(s.found);
    EXPECT_GE(s.advance, c.minAdvance - 1e-3f);
    EXPECT_LE(s.advance, c.maxAdvance + 1e-3f);
    EXPECT_EQ(!s.triangles.empty(), c.inked);
    EXPECT_EQ(s.triangles.size() % 6, 0u);
    if (!c.inked) continue;
    // Within the em box around the baseline, not in font units.
    const auto e = extentOf(s);
    EXPECT_GE(e.minX, -0.05f);
    EXPECT_LE(e.maxX, s.advance + 0.05f);
    EXPECT_GE(e.minY, -0.3f);
    EXPECT_LE(e.maxY, 1.0f);
    EXPECT_GT(e.maxY - e.minY, 0.4f);
  }
}

TEST(Glyphs, CountersStayOpen) {
  // Rings filled by the non-zero rule: the inside of each is not part of the glyph.
  for (const char32_t c : {U'口', U'ロ', U'O', U'0'}) {
    SCOPED_TRACE(static_cast<unsigned>(c));
    const auto e = extentOf(viewer::glyphShape(c));
    const double box = double(e.maxX - e.minX) * (e.maxY - e.minY);
    EXPECT_GT(e.area, 0.1 * box);
    EXPECT_LT(e.area, 0.6 * box);
  }
}

TEST(Glyphs, CharacterNoFontHasStillMovesOn) {
  const auto& s = viewer::glyphShape(U'\U0010FFFD');  // private use: in no installed font
  EXPECT_FALSE(s.found);
  EXPECT_GT(s.advance, 0.2f);
  // Asked again, the same shape.
  EXPECT_EQ(&viewer::glyphShape(U'\U0010FFFD'), &s);
}

}  // namespace
