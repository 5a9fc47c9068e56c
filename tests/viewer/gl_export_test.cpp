// The export without a window, from a DXF file to an image file.
#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "tests/common/temp_folder.h"
#include "viewer/gl/export.h"
#include "viewer/gl/offscreen.h"

namespace {

// Group code and value lines of a small drawing: a red line across the middle of the saved
// view, and a layout whose paper space has no viewport of its own.
std::string dxf(std::initializer_list<const char*> pairs) {
  std::string text;
  for (const char* line : pairs) text += std::string(line) + "\r\n";
  return text;
}

const std::string kDrawing = dxf({
    "0",   "SECTION", "2",   "TABLES",  //
    "0",   "TABLE",   "2",   "VPORT",    "0",  "VPORT",
    "2",   "*ACTIVE",  //
    "12",  "50",      "22",  "50",       "40", "100",
    "41",  "1",       "16",  "0",        "26", "0",
    "36",  "1",       //
    "0",   "ENDTAB",  //
    "0",   "TABLE",   "2",   "LAYER",    "0",  "LAYER",
    "2",   "0",       "62",  "7",        "0",  "ENDTAB",  //
    "0",   "ENDSEC",                                      //
    "0",   "SECTION", "2",   "BLOCKS",                    //
    "0",   "BLOCK",   "330", "1F",       "2",  "*Paper_Space",
    "70",  "0",       "0",   "ENDBLK",    //
    "0",   "ENDSEC",                      //
    "0",   "SECTION", "2",   "ENTITIES",  //
    "0",   "LINE",    "8",   "0",        "62", "1",
    "10",  "10",      "20",  "50",       "30", "0",
    "11",  "90",      "21",  "50",       "31", "0",  //
    "0",   "ENDSEC",                                 //
    "0",   "SECTION", "2",   "OBJECTS",              //
    "0",   "LAYOUT",  "1",   "Layout1",  "71", "1",
    "330", "1F",  //
    "0",   "ENDSEC",  "0",   "EOF",
});

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    viewer::Offscreen probe;
    std::string error;
    if (!probe.create(1, 1, error)) GTEST_SKIP() << "no offscreen OpenGL context: " << error;
    writeBytes(temp / "drawing.dxf", kDrawing);
  }
  std::string path(const char* name) const { return (temp / name).string(); }
  TempFolder temp;
};

TEST_F(Export, ModelTabIsWrittenAsPngAndBmp) {
  std::string error;
  ASSERT_TRUE(viewer::exportImage(path("drawing.dxf"), path("plan.png"), 0, std::nullopt, 160, 120, error)) << error;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path("plan.png").c_str()));
  ASSERT_EQ(image.width, 160u);
  ASSERT_EQ(image.height, 120u);
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  // The line lies on the view's centre: red in the middle rows, white elsewhere.
  auto red = [&](int y0, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = 0; x < 160; ++x) {
        const auto* p = &rgb[(std::size_t(y) * 160 + x) * 3];
        n += p[0] == 255 && p[1] == 0 && p[2] == 0;
      }
    return n;
  };
  EXPECT_GT(red(58, 61), 20);
  EXPECT_EQ(red(0, 50) + red(70, 119), 0);
  EXPECT_EQ(rgb[(10 * 160 + 80) * 3], 255);  // a white background

  ASSERT_TRUE(viewer::exportImage(path("drawing.dxf"), path("south-west.bmp"), 0, viewer::ViewDirection::southWest, 160,
                                  120, error))
      << error;
  EXPECT_EQ(std::filesystem::file_size(temp / "south-west.bmp"), 54u + 160 * 120 * 3);
}

TEST_F(Export, RefusalsNameTheirReason) {
  struct Case {
    std::string dxf, out;
    int tab;
    std::string error;  // empty: any text
  };
  const Case cases[] = {
      {path("missing.dxf"), path("out.png"), 0, "ファイルが見つかりません"},
      {path("drawing.dxf"), path("out.png"), 1, "このレイアウト空間は未設定です"},
      {path("drawing.dxf"), path("out.png"), 5, ""},
      {path("drawing.dxf"), path("out.gif"), 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dxf + " " + c.out + " " + std::to_string(c.tab));
    std::string error;
    EXPECT_FALSE(viewer::exportImage(c.dxf, c.out, c.tab, std::nullopt, 100, 100, error));
    if (c.error.empty())
      EXPECT_FALSE(error.empty());
    else
      EXPECT_EQ(error, c.error);
    EXPECT_FALSE(std::filesystem::exists(c.out));
  }
}

// Every mode of the point style dialog, one point at the centre drawn through the shared
// render path: each part of a symbol is probed where no other part passes.
TEST_F(Export, PointSymbolsOfEveryMode) {
  // 100 pixels to the unit, the point at the origin in the middle of the image.
  constexpr int kW = 202, kH = 200;
  constexpr double kSize = 0.8;  // model units per symbol unit: 80 pixels
  struct Probe {
    const char* part;
    double x, y;  // symbol units
  };
  const Probe probes[] = {
      {"centre", 0, 0},      {"plus", 0.9, 0},       {"plus", 0, -0.9},        {"tick", 0, 0.25},
      {"cross", 0.65, 0.65}, {"cross", -0.65, 0.65}, {"circle", 0.191, 0.462}, {"square", -0.5, -0.3},
  };
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 5; ++column) {
      const int mode = column + 32 * row;
      SCOPED_TRACE("mode " + std::to_string(mode));
      viewer::Drawing d;
      d.views.resize(1);
      d.views[0].direction = {0, 0, 1};
      d.views[0].height = 2;
      d.points.push_back({{0, 0, 0}, 0x000000FF});  // red
      d.pointMode = mode;
      d.pointSize = kSize;
      std::vector<std::uint8_t> rgb;
      std::string error;
      ASSERT_TRUE(viewer::renderImage(d, 0, kW, kH, false, rgb, error)) << error;
      ASSERT_EQ(rgb.size(), std::size_t(kW) * kH * 3);
      // Red within a pixel of the probe.
      auto drawn = [&](const Probe& p) {
        const int px = 2 + static_cast<int>(100 + p.x * kSize * 100);
        const int py = kH - 1 - static_cast<int>(100 + p.y * kSize * 100);
        for (int y = py - 1; y <= py + 1; ++y)
          for (int x = px - 1; x <= px + 1; ++x) {
            const auto* c = &rgb[(std::size_t(y) * kW + x) * 3];
            if (c[0] > 200 && c[1] < 80 && c[2] < 80) return true;
          }
        return false;
      };
      const int kind = mode % 8;
      for (const auto& p : probes) {
        const std::string part = p.part;
        bool expected = false;
        if (part == "centre") expected = kind == 0 || kind == 2 || kind == 3 || kind == 4;
        if (part == "plus") expected = kind == 2;
        if (part == "tick") expected = kind == 2 || kind == 4;
        if (part == "cross") expected = kind == 3;
        if (part == "circle") expected = (mode & 32) != 0;
        if (part == "square") expected = (mode & 64) != 0;
        EXPECT_EQ(drawn(p), expected) << part << " at " << p.x << ", " << p.y;
      }
    }
}

// The window's bitmap: the model tab with a yellow frame of width 6 at the image's edges.
TEST_F(Export, ExportFrameIsYellowAroundTheModelTab) {
  viewer::Drawing d;
  d.views.resize(1);
  d.views[0].direction = {0, 0, 1};
  d.views[0].height = 2;
  std::vector<std::uint8_t> rgb;
  std::string error;
  constexpr int kW = 122, kH = 80;
  ASSERT_TRUE(viewer::renderImage(d, 0, kW, kH, true, rgb, error)) << error;
  auto at = [&](int x, int y) {
    const auto* c = &rgb[(std::size_t(y) * kW + x) * 3];
    return (int(c[0]) << 16) | (int(c[1]) << 8) | c[2];
  };
  EXPECT_EQ(at(60, 1), 0xFFFF00);
  EXPECT_EQ(at(60, kH - 2), 0xFFFF00);
  EXPECT_EQ(at(3, 40), 0xFFFF00);
  EXPECT_EQ(at(kW - 2, 40), 0xFFFF00);
  EXPECT_EQ(at(60, 40), 0xFFFFFF);
  ASSERT_TRUE(viewer::renderImage(d, 0, kW, kH, false, rgb, error)) << error;
  EXPECT_EQ(at(60, 1), 0xFFFFFF);
}

}  // namespace
