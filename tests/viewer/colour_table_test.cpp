// The colour table: the default index palette (as ezdxf holds it) with the viewer's own
// entries 0, 7 and 250..255.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "viewer/dxf/drawing.h"

namespace {

std::uint32_t bgr(int r, int g, int b) { return static_cast<std::uint32_t>(b << 16 | g << 8 | r); }

TEST(ColourTable, DefaultPaletteWithTheViewersEntries) {
  const std::map<int, std::uint32_t> own = {
      {0, bgr(1, 0, 0)},         {7, bgr(0, 0, 0)},         {250, bgr(0, 1, 0)},       {251, bgr(51, 51, 51)},
      {252, bgr(102, 102, 102)}, {253, bgr(153, 153, 153)}, {254, bgr(204, 204, 204)}, {255, bgr(205, 205, 205)}};
  for (const auto& [index, colour] : own) EXPECT_EQ(viewer::kColourTable[index], colour) << index;
  EXPECT_EQ(viewer::kColourTable[1], bgr(255, 0, 0));
  EXPECT_EQ(viewer::kColourTable[5], bgr(0, 0, 255));
  EXPECT_EQ(viewer::kColourTable[10], bgr(255, 0, 0));  // the default repeats 1 there

  std::FILE* p = ::popen(
      "/usr/bin/python3 -c \"from ezdxf.colors import DXF_DEFAULT_COLORS as C; print(' '.join(str(c) for c in C))\" "
      "2>/dev/null",
      "r");
  ASSERT_NE(p, nullptr);
  std::string text;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) text.append(buffer, n);
  if (::pclose(p) != 0) GTEST_SKIP() << "ezdxf for /usr/bin/python3 is not installed";
  std::istringstream in(text);
  for (int i = 0; i < 256; ++i) {
    std::uint32_t rgb = 0;
    ASSERT_TRUE(in >> rgb) << i;
    if (own.count(i)) continue;
    EXPECT_EQ(viewer::kColourTable[i], bgr(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)) << i;
  }
}

}  // namespace
