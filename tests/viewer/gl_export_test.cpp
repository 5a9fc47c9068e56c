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

}  // namespace
