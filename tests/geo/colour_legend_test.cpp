#include "converter/geo/colour_legend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using geo::Flavour;
using geo::legendLabel;
using geo::SheetLegend;

constexpr Flavour kTrueColour = Flavour::trueColour;
constexpr Flavour k255 = Flavour::palette255;
constexpr Flavour k8 = Flavour::jwCad;
constexpr Flavour kIllustrator = Flavour::illustrator;

// A colour as a sheet spells it after its 62: "<index>[\r\n420\r\n<true colour>]".
std::string written(const geo::Colour& c) {
  return std::to_string(c.index) + (c.trueColour ? "\r\n420\r\n" + std::to_string(*c.trueColour) : "");
}
std::string paletteText(std::uint32_t bgr, Flavour f, bool* stop) { return written(geo::paletteColour(bgr, f, stop)); }
std::string rgbText(int i, int n, Flavour f, int ramp) { return written(geo::rgb(i, n, f, ramp)); }
std::string areaclText(std::string_view name, Flavour f) { return "62\r\n" + written(geo::areacl(name, f)); }
std::string lineweightText(int index) { return std::to_string(geo::lineweightCode(index)); }

std::uint32_t bgr(int r, int g, int b) { return static_cast<std::uint32_t>(b << 16 | g << 8 | r); }

// "<index>\r\n420\r\n<R×65536+G×256+B>"
std::string indexAndTrue(int index, int r, int g, int b) {
  return std::to_string(index) + "\r\n420\r\n" + std::to_string(r * 65536 + g * 256 + b);
}

TEST(PaletteColour, PaletteEntriesGiveTheirIndexOthersATrueColour) {
  struct Case {
    std::uint32_t colour;
    const char* expected;
  };
  const Case cases[] = {
      {0x0000FF, "1"},              // pure red
      {bgr(0, 0, 0), "7"},          // black is 7 here, not a true colour
      {bgr(254, 0, 0), "10"},       // found as itself, not as a repeat of 1
      {bgr(205, 205, 205), "255"},  // last entry is searched too
      {bgr(10, 20, 30), "7\r\n420\r\n660510"},
      {bgr(255, 255, 255), "7\r\n420\r\n16777215"},  // white is in no entry
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour);
    for (Flavour format : {kTrueColour, k8, kIllustrator}) {
      bool stop = false;
      EXPECT_EQ(paletteText(c.colour, format, &stop), c.expected);
      EXPECT_FALSE(stop);
    }
  }
}

TEST(PaletteColour, TrueColourStopsOnlyTheTwoHundredFiftyFiveColourRun) {
  bool stop = false;
  EXPECT_EQ(paletteText(0x0000FF, k255, &stop), "1");
  EXPECT_FALSE(stop);
  EXPECT_EQ(paletteText(bgr(10, 20, 30), k255, &stop), "7\r\n420\r\n660510");
  EXPECT_TRUE(stop);
  // A later hit does not undo the stop: the caller owns the flag.
  EXPECT_EQ(paletteText(0x0000FF, k255, &stop), "1");
  EXPECT_TRUE(stop);
  EXPECT_EQ(paletteText(bgr(10, 20, 30), k255, nullptr), "7\r\n420\r\n660510");
}

TEST(LineweightCode, TableAndFallback) {
  struct Case {
    int index;
    const char* expected;
  };
  const Case cases[] = {{0, "-3"},   {1, "0"},    {2, "5"},  {8, "25"}, {13, "53"},
                        {19, "106"}, {24, "211"}, {25, "5"}, {-1, "5"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(lineweightText(c.index), c.expected);
  }
}

TEST(LegendRgb, PaletteFlavoursStepDownFromOneHundredSeventy) {
  struct Case {
    int n;
    std::vector<int> byLevel;  // i = 0..n
  };
  const Case cases[] = {
      {1, {5, 1}},
      {2, {5, 3, 1}},
      {4, {5, 4, 3, 2, 1}},
      {8, {170, 150, 130, 110, 90, 70, 50, 30, 10}},
  };
  for (Flavour format : {k255, k8}) {
    for (const Case& c : cases) {
      for (int i = 0; i <= c.n; ++i) {
        SCOPED_TRACE(testing::Message() << "format " << static_cast<int>(format) << " n " << c.n << " i " << i);
        // The ramp position only matters for true colours.
        EXPECT_EQ(rgbText(i, c.n, format, 0), std::to_string(c.byLevel[i]));
        EXPECT_EQ(rgbText(i, c.n, format, 7), std::to_string(c.byLevel[i]));
      }
    }
  }
  // 160 div 128 is 1: the ramp ends at 42, not at 10.
  EXPECT_EQ(rgbText(128, 128, k255, 0), "42");
  EXPECT_EQ(rgbText(127, 128, k255, 0), "43");
}

TEST(LegendRgb, TrueColourRamp) {
  struct Case {
    int i, n, position;
    int index, r, g, b;
  };
  const Case cases[] = {
      // Full ramp from blue, n = 16 (p = 64): band edges.
      {0, 16, 0, 170, 0, 0, 255},
      {3, 16, 0, 140, 0, 192, 255},
      {4, 16, 0, 130, 0, 255, 255},
      {7, 16, 0, 100, 0, 255, 63},
      {8, 16, 0, 90, 0, 255, 0},
      {12, 16, 0, 50, 255, 255, 0},
      {15, 16, 0, 20, 255, 63, 0},
      {16, 16, 0, 10, 255, 0, 0},
      // Base 96, n = 8: p = 160·4 div 8 = 80; the index floors i·p/64.
      {1, 8, 3, 160, 96, 176, 255},
      {3, 8, 3, 140, 96, 255, 175},
      {5, 8, 3, 110, 176, 255, 96},
      {7, 8, 3, 90, 255, 175, 96},
      {8, 8, 3, 70, 255, 96, 96},
      // Base 160, n = 64: p = 6, so 15·6/64 floors to 1.
      {15, 64, 5, 160, 160, 250, 255},
      {16, 64, 5, 160, 160, 255, 255},
      // Palest ramp (base 224): nothing runs past 255.
      {0, 4, 7, 170, 224, 224, 255},
      {1, 4, 7, 170, 224, 255, 255},
      {2, 4, 7, 160, 224, 255, 224},
      {3, 4, 7, 160, 255, 255, 224},
      {4, 4, 7, 150, 255, 224, 224},
      {31, 128, 7, 170, 224, 255, 255},
      {127, 128, 7, 160, 255, 224, 224},
      {128, 128, 7, 150, 255, 224, 224},
      // Two levels: p = 512.
      {0, 2, 0, 170, 0, 0, 255},
      {1, 2, 0, 90, 0, 255, 0},
      {2, 2, 0, 10, 255, 0, 0},
      {1, 2, 7, 90, 224, 255, 224},
      // One level: p = 1024.
      {0, 1, 0, 170, 0, 0, 255},
      {1, 1, 0, 10, 255, 0, 0},
      {1, 1, 7, 10, 255, 224, 224},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "i " << c.i << " n " << c.n << " pos " << c.position);
    const std::string expected = indexAndTrue(c.index, c.r, c.g, c.b);
    EXPECT_EQ(rgbText(c.i, c.n, kTrueColour, c.position), expected);
    EXPECT_EQ(rgbText(c.i, c.n, kIllustrator, c.position), expected);
  }
}

TEST(Areacl, ColourFollowsTheUtf16CodesOfAllButTheLastCharacter) {
  struct Case {
    const char* name;
    int paletteIndex;  // 255-colour flavour
    int trueColour;    // other flavours
  };
  const Case cases[] = {
      {"", 135, 13097709},
      {"a", 135, 13097709},  // s = 1234567: the only character is the last
      {"ab", 183, 16245486},
      {"東京都", 11, 13361369},
      // A character outside the BMP counts as its two surrogates.
      {"\xF0\xA0\xAE\xB7"
       "a",
       240, 15778791},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(areaclText(c.name, k255), "62\r\n" + std::to_string(c.paletteIndex));
    const std::string pale = "62\r\n254\r\n420\r\n" + std::to_string(c.trueColour);
    EXPECT_EQ(areaclText(c.name, kTrueColour), pale);
    EXPECT_EQ(areaclText(c.name, k8), pale);
    EXPECT_EQ(areaclText(c.name, kIllustrator), pale);
  }
  // The last character never contributes.
  EXPECT_EQ(areaclText("東京都", kTrueColour), areaclText("東京府", kTrueColour));
}

TEST(Areacl, LongNamesWrapToNegativeSums) {
  // 60 × U+9FA0 sums past 2^31: s = -472335769, so remainders are negative and the
  // components fall below 192.
  std::string name;
  for (int k = 0; k < 60; ++k) name += "龠";
  EXPECT_EQ(areaclText(name, k255), "62\r\n-153");
  EXPECT_EQ(areaclText(name, kTrueColour), "62\r\n254\r\n420\r\n10988172");
}

TEST(LegendLabel, LevelsOfTenMetres) {
  const SheetLegend legend{10, 0, 0};
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      // Anything below the bottom, however slightly, is clamped a whole interval down.
      {-10, "  0未満"},
      {-1000, "  0未満"},
      {-0.00000001, "  0未満"},
      {0, "_ 0"},
      {9.99, "_ 0"},
      {10, "_10"},
      {15, "_10"},
      {20, "_20"},
      {29.9, "_20"},
      {29.99999999, "_30以上"},
      {30, "_30以上"},
      {500, "_30以上"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(legendLabel(legend, 4, "_", c.value), c.expected);
  }
}

TEST(LegendLabel, WidthComesFromOneIntervalAboveTheTop) {
  struct Case {
    SheetLegend legend;
    int n;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      // Top 5 but l = 10: two places.
      {{5, 0, 0}, 2, 0, "_ 0"},
      {{5, 0, 0}, 2, 5, "_ 5以上"},
      {{1, 0, 0}, 4, 2, "_2"},
      {{100, 0, 0}, 4, -1, "   0未満"},
      {{100, 0, 0}, 4, 100, "_100"},
      {{500, 0, 0}, 4, 0, "_   0"},
      {{10, 0, 0}, 1, 0, "_ 0以上"},
      {{10, 0, 0}, 1, -5, "  0未満"},
      // Negative bottoms: the sign takes a place.
      {{10, -50, 0}, 4, -60, " -50未満"},
      {{10, -50, 0}, 4, -50, "_-50"},
      {{10, -50, 0}, 4, -35, "_-40"},
      {{10, -50, 0}, 4, -20, "_-20以上"},
      {{1, -9, 0}, 4, -8, "_-8"},
      {{1, -9, 0}, 4, -6, "_-6以上"},
      {{100, -2000, 0}, 4, -2000, "_-2000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.legend.interval << " " << c.legend.bottom << " n " << c.n << " value "
                                    << c.value);
    EXPECT_EQ(legendLabel(c.legend, c.n, "_", c.value), c.expected);
  }
}

TEST(LegendLabel, DecimalsWidenAndTheSeparatorReplacesThePoint) {
  struct Case {
    SheetLegend legend;
    int n;
    std::string_view separator;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {{2.5, 10, 1}, 4, "_", 12.5, "_12_5"},
      {{2.5, 10, 1}, 4, "_", 10, "_10_0"},
      {{2.5, 10, 1}, 4, "_", 5, " 10_0未満"},
      {{2.5, 10, 1}, 4, "_", 17.5, "_17_5以上"},
      {{2.5, 10, 1}, 4, ".", 12.5, "_12.5"},
      {{2.5, 10, 1}, 4, "", 12.5, "_125"},
      // l = 40: "%4.1f".
      {{10, 0, 1}, 4, "_", 0, "_ 0_0"},
      {{10, 0, 1}, 4, "_", -1, "  0_0未満"},
      // l = 2: "%4.2f".
      {{0.25, 0, 2}, 8, "_", 0.5, "_0_50"},
      {{0.25, 0, 2}, 8, "_", 1.75, "_1_75以上"},
      {{0.25, -1, 2}, 8, "_", -1, "_-1_00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.legend.interval << " " << c.legend.bottom << " d " << c.legend.decimals
                                    << " value " << c.value);
    EXPECT_EQ(legendLabel(c.legend, c.n, c.separator, c.value), c.expected);
  }
}

}  // namespace
