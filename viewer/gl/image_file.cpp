#include "viewer/gl/image_file.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

namespace viewer {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// BITMAPFILEHEADER and BITMAPINFOHEADER, then the rows bottom-up in BGR, each padded to
// four bytes.
bool writeBmp(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb, std::string& error) {
  const std::uint32_t row = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = row * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + imageBytes);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);  // no compression
  put32(out, imageBytes);
  put32(out, 3780);  // 96 dots per inch
  put32(out, 3780);
  put32(out, 0);
  put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint8_t* p = rgb.data() + std::size_t(y) * width * 3;
    for (int x = 0; x < width; ++x, p += 3) out.insert(out.end(), {p[2], p[1], p[0]});
    out.resize(out.size() + (row - std::uint32_t(width) * 3), 0);
  }
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  file.close();
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
    error = "cannot write " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace

ImageFormat imageFormatOf(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == ".png") return ImageFormat::png;
  if (ext == ".bmp") return ImageFormat::bmp;
  return ImageFormat::unknown;
}

bool writeImage(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb, std::string& error) {
  if (width < 1 || height < 1 || rgb.size() < std::size_t(width) * height * 3) {
    error = "no image to write";
    return false;
  }
  try {
    switch (imageFormatOf(path)) {
      case ImageFormat::png: return writePng(path, width, height, rgb, error);
      case ImageFormat::bmp: return writeBmp(path, width, height, rgb, error);
      case ImageFormat::unknown: break;
    }
  } catch (const std::exception& e) {
    error = "cannot write " + path + ": " + e.what();
    return false;
  }
  error = "the image file must end in .png or .bmp: " + path;
  return false;
}

}  // namespace viewer
