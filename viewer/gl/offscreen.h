#pragma once
// Rendering without any display: an EGL surfaceless context with a compatibility profile
// (legacy GL and display lists) drawing into a framebuffer object of a fixed size. Needs
// no X server and no window system.
#include <cstdint>
#include <string>
#include <vector>

namespace viewer {

class Offscreen {
 public:
  Offscreen() = default;
  Offscreen(const Offscreen&) = delete;
  Offscreen& operator=(const Offscreen&) = delete;
  ~Offscreen();

  // Makes the context and its width x height framebuffer, and makes them current. False
  // with the reason in `error` when the system has no such context.
  bool create(int width, int height, std::string& error);
  bool makeCurrent();

  int width() const { return width_; }
  int height() const { return height_; }
  // The framebuffer's pixels, RGB, the top row first.
  std::vector<std::uint8_t> readPixels() const;

 private:
  void destroy();

  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace viewer
