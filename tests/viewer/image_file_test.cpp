// Image files: the BMP layout byte by byte, PNG read back through libpng, and the refusals.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/common/temp_folder.h"
#include "viewer/gl/image_file.h"

namespace {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// 3 x 2 pixels, the top row red, green, blue, the bottom row black, grey, white.
const std::vector<std::uint8_t> kPixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 128, 128, 128, 255, 255, 255};

TEST(ImageFile, BmpHoldsBottomUpBgrRowsPaddedToFourBytes) {
  TempFolder temp;
  std::string error;
  ASSERT_TRUE(viewer::writeImage((temp / "out.bmp").string(), 3, 2, kPixels, error)) << error;
  const auto b = readBytes(temp / "out.bmp");
  ASSERT_EQ(b.size(), 54u + 2 * 12);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(le32(b, 2), b.size());
  EXPECT_EQ(le32(b, 10), 54u);  // pixels' offset
  EXPECT_EQ(le32(b, 14), 40u);  // info header size
  EXPECT_EQ(le32(b, 18), 3u);
  EXPECT_EQ(le32(b, 22), 2u);  // positive: bottom-up
  EXPECT_EQ(b[28], 24);        // bits per pixel
  EXPECT_EQ(le32(b, 30), 0u);  // no compression
  const std::vector<std::uint8_t> rows(b.begin() + 54, b.end());
  EXPECT_EQ(rows, (std::vector<std::uint8_t>{0, 0, 0,   128, 128, 128, 255, 255, 255, 0, 0, 0,  //
                                             0, 0, 255, 0,   255, 0,   255, 0,   0,   0, 0, 0}));
}

TEST(ImageFile, PngReadsBackTheSamePixels) {
  TempFolder temp;
  std::string error;
  const auto file = (temp / "out.PNG").string();  // the extension in any case
  ASSERT_TRUE(viewer::writeImage(file, 3, 2, kPixels, error)) << error;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> back(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
  EXPECT_EQ(back, kPixels);
}

TEST(ImageFile, UnknownExtensionsAndUnwritablePlacesAreRefused) {
  TempFolder temp;
  for (const auto& name :
       {temp / "out.jpg", temp / "out", temp / "missing" / "out.png", temp / "missing" / "out.bmp"}) {
    SCOPED_TRACE(name.string());
    std::string error;
    EXPECT_FALSE(viewer::writeImage(name.string(), 3, 2, kPixels, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(name));
  }
  std::string error;
  EXPECT_FALSE(viewer::writeImage((temp / "short.png").string(), 4, 2, kPixels, error));  // too few pixels
}

}  // namespace
