#pragma once
// Frames drawn through an offscreen context and read back, for tests that look at pixels.
// A test skips itself (with the reason) where the system gives no such context.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "viewer/dxf/drawing.h"
#include "viewer/gl/gl_backend.h"
#include "viewer/gl/offscreen.h"
#include "viewer/gl/scene.h"

struct Pixel {
  int r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}
inline constexpr Pixel kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0};

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // top row first
  // Pixel (x, y) counted from the bottom left, as GL counts.
  Pixel at(int x, int y) const {
    const std::size_t i = (std::size_t(height - 1 - y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  int count(Pixel p, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
    if (x1 < 0) x1 = width - 1;
    if (y1 < 0) y1 = height - 1;
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += at(x, y) == p;
    return n;
  }
};

class GlFrame : public ::testing::Test {
 protected:
  static constexpr int kSize = 100;

  void SetUp() override {
    std::string error;
    if (!offscreen.create(kSize, kSize, error)) GTEST_SKIP() << "no offscreen OpenGL context: " << error;
  }
  void TearDown() override { scene.release(); }

  // Compiles `drawing` and draws a frame: white, one drawing unit a pixel with (0, 0) at the
  // bottom left, then `draw` (by default model space in black).
  Image frame(const viewer::Drawing& drawing, const std::function<void(viewer::GlBackend&)>& draw = {},
              const viewer::Program& pointSymbol = {}) {
    EXPECT_TRUE(scene.compile(drawing, pointSymbol));
    viewer::GlBackend backend(scene);
    backend.clear({1, 1, 1});
    backend.viewport(0, 0, kSize, kSize);
    backend.ortho(0, kSize, 0, kSize, -999999999, 999999999);
    backend.identity();
    backend.colour({0, 0, 0});
    if (draw)
      draw(backend);
    else
      backend.callModelSpace();
    backend.finish();
    return {kSize, kSize, offscreen.readPixels()};
  }

  viewer::Offscreen offscreen;
  viewer::GlScene scene;
};

// Programs written step by step.
struct ProgramBuilder {
  viewer::Program p;
  ProgramBuilder& op(viewer::OpKind kind, double x = 0, double y = 0, double z = 0, double w = 0) {
    p.ops.push_back({kind, 0, 0, 0, 0, x, y, z, w});
    return *this;
  }
  ProgramBuilder& colour(viewer::Rgb c) { return op(viewer::OpKind::colour, c.r, c.g, c.b); }
  ProgramBuilder& vertices(viewer::OpKind kind, std::initializer_list<viewer::Vec3> points) {
    p.ops.push_back({kind, std::uint32_t(p.vertices.size()), std::uint32_t(points.size())});
    p.vertices.insert(p.vertices.end(), points);
    return *this;
  }
  // One area of the given contours.
  ProgramBuilder& area(std::initializer_list<std::vector<viewer::Vec3>> contours) {
    p.ops.push_back({viewer::OpKind::area, std::uint32_t(p.contours.size()), std::uint32_t(contours.size())});
    for (const auto& c : contours) {
      p.contours.push_back({std::uint32_t(p.vertices.size()), std::uint32_t(c.size())});
      p.vertices.insert(p.vertices.end(), c.begin(), c.end());
    }
    return *this;
  }
  ProgramBuilder& spline(std::initializer_list<viewer::Vec3> control, std::initializer_list<double> knots) {
    p.ops.push_back({viewer::OpKind::spline, std::uint32_t(p.vertices.size()), std::uint32_t(control.size()),
                     std::uint32_t(p.knots.size()), std::uint32_t(knots.size())});
    p.vertices.insert(p.vertices.end(), control);
    p.knots.insert(p.knots.end(), knots);
    return *this;
  }
  ProgramBuilder& text(std::initializer_list<std::uint32_t> glyphs) {
    p.ops.push_back({viewer::OpKind::text, std::uint32_t(p.text.size()), std::uint32_t(glyphs.size())});
    p.text.insert(p.text.end(), glyphs);
    return *this;
  }
  ProgramBuilder& call(std::uint32_t block) {
    p.ops.push_back({viewer::OpKind::callBlock, block});
    return *this;
  }
  viewer::Program done() { return std::move(p); }
};

inline viewer::Drawing drawingOf(viewer::Program modelSpace) {
  viewer::Drawing d;
  d.modelSpace = std::move(modelSpace);
  return d;
}
