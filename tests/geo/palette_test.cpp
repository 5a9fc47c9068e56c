#include "converter/geo/palette.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using geo::paletteIndexOf;
using geo::paletteRgb;

struct Entry {
  int index;
  int r, g, b;
};

std::uint32_t bgrOf(const Entry& e) { return static_cast<std::uint32_t>(e.b << 16 | e.g << 8 | e.r); }

// Rows that tell this table apart from others in circulation, and every entry where it
// differs from the default palette.
const Entry kEntries[] = {
    {1, 255, 0, 0},     {2, 255, 255, 0},     {3, 0, 255, 0},       {4, 0, 255, 255},     {5, 0, 0, 255},
    {6, 255, 0, 255},   {8, 128, 128, 128},   {9, 192, 192, 192},   {11, 255, 127, 127},  {12, 165, 0, 0},
    {23, 165, 103, 82}, {42, 165, 124, 0},    {7, 0, 0, 0},         {10, 254, 0, 0},      {50, 255, 254, 0},
    {90, 0, 254, 0},    {130, 0, 255, 254},   {170, 0, 0, 254},     {210, 254, 0, 255},   {250, 0, 1, 0},
    {251, 51, 51, 51},  {252, 102, 102, 102}, {253, 153, 153, 153}, {254, 204, 204, 204}, {255, 205, 205, 205},
};

TEST(Palette, EntriesHaveTheirColoursAndAreFoundAsThemselves) {
  for (const Entry& e : kEntries) {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(paletteRgb()[e.index], static_cast<std::uint32_t>(e.r << 16 | e.g << 8 | e.b));
    EXPECT_EQ(paletteIndexOf(bgrOf(e)), e.index);
  }
}

TEST(Palette, SearchReadsBlueGreenRedAndStopsAtMaxIndex) {
  EXPECT_EQ(paletteIndexOf(0x0000FF), 1);  // red in the low byte
  EXPECT_EQ(paletteIndexOf(0xFF0000), 5);  // blue
  EXPECT_EQ(paletteIndexOf(0x808080, 9), 8);
  EXPECT_EQ(paletteIndexOf(0x000000, 9), 7);

  // (255, 127, 127) is entry 11 only.
  EXPECT_EQ(paletteIndexOf(0x7F7FFF), 11);
  EXPECT_EQ(paletteIndexOf(0x7F7FFF, 9), 0);
  EXPECT_EQ(paletteIndexOf(0x7F7FFF, 11), 11);
  EXPECT_EQ(paletteIndexOf(0x7F7FFF, 10), 0);

  EXPECT_EQ(paletteIndexOf(0xCDCDCD, 1000), 255);  // limits beyond the table are clamped
  EXPECT_EQ(paletteIndexOf(0x0000FF, 0), 0);
  EXPECT_EQ(paletteIndexOf(0x1E140A), 0);  // (10, 20, 30) is no entry
}

TEST(Palette, SearchReturnsTheLowestOfRepeatedEntries) {
  // 129, 139 and 149 share one colour in the default palette.
  const std::uint32_t rgb = paletteRgb()[139];
  ASSERT_EQ(paletteRgb()[129], rgb);
  const std::uint32_t bgr = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16;
  EXPECT_EQ(paletteIndexOf(bgr), 129);
}

}  // namespace
