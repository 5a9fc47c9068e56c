#pragma once
// Frames of the views drawn with OpenGL into the current context (a window's or an
// offscreen one), over the lists of a compiled scene.
#include "viewer/draw/view.h"
#include "viewer/gl/scene.h"

namespace viewer {

class GlBackend final : public Backend {
 public:
  explicit GlBackend(const GlScene& scene) : scene_(scene) {}

  void clear(Rgb colour) override;
  void viewport(int x, int y, int width, int height) override;
  void ortho(double left, double right, double bottom, double top, double near, double far) override;
  void identity() override;
  void lookAt(Vec3 eye, Vec3 centre, Vec3 up) override;
  void rotate(double degrees, Vec3 axis) override;
  void translate(Vec3 by) override;
  void scale(double factor) override;
  void push() override;
  void pop() override;
  void colour(Rgb colour) override;
  void lineWidth(float width) override;
  void stipple(bool on, int factor, std::uint16_t pattern) override;
  void lineLoop(std::span<const Vec3> points) override;
  void filledRectangle(double x0, double y0, double x1, double y1) override;
  void callModelSpace() override { scene_.callModelSpace(); }
  void callBlock(int index) override { scene_.callBlock(index); }
  void callPointSymbol() override { scene_.callPointSymbol(); }
  void finish() override;

 private:
  const GlScene& scene_;
};

}  // namespace viewer
