#pragma once
// Rendered images as files: PNG or 24-bit BMP, chosen by the file name's extension.
#include <cstdint>
#include <span>
#include <string>

namespace viewer {

enum class ImageFormat { unknown, png, bmp };

// By the extension, without regard to case: ".png" or ".bmp".
ImageFormat imageFormatOf(const std::string& path);

// Writes width x height pixels, RGB with the top row first. False with the reason in
// `error` for an unknown extension or a file that cannot be written.
bool writeImage(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb, std::string& error);

}  // namespace viewer
