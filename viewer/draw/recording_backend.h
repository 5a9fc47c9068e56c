#pragma once
// A backend that writes down each call as a line of text, for tests of the views.
#include <cstdio>
#include <string>
#include <vector>

#include "viewer/draw/view.h"

namespace viewer {

class RecordingBackend : public Backend {
 public:
  void clear(Rgb c) override { add("clear " + rgb(c)); }
  void viewport(int x, int y, int w, int h) override {
    add("viewport " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h));
  }
  void ortho(double l, double r, double b, double t, double n, double f) override {
    add("ortho " + num(l) + " " + num(r) + " " + num(b) + " " + num(t) + " " + num(n) + " " + num(f));
  }
  void identity() override { add("identity"); }
  void lookAt(Vec3 eye, Vec3 centre, Vec3 up) override {
    add("lookAt " + vec(eye) + " " + vec(centre) + " " + vec(up));
  }
  void rotate(double degrees, Vec3 axis) override { add("rotate " + num(degrees) + " " + vec(axis)); }
  void translate(Vec3 by) override { add("translate " + vec(by)); }
  void scale(double factor) override { add("scale " + num(factor)); }
  void push() override { add("push"); }
  void pop() override { add("pop"); }
  void colour(Rgb c) override { add("colour " + rgb(c)); }
  void lineWidth(float w) override { add("lineWidth " + num(w)); }
  void stipple(bool on, int factor, std::uint16_t pattern) override {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", pattern);
    add(on ? "stipple " + std::to_string(factor) + " " + buf : std::string("stipple off"));
  }
  void lineLoop(std::span<const Vec3> points) override {
    std::string line = "lineLoop";
    for (const auto& p : points) line += " " + vec(p);
    add(line);
  }
  void filledRectangle(double x0, double y0, double x1, double y1) override {
    add("filledRectangle " + num(x0) + " " + num(y0) + " " + num(x1) + " " + num(y1));
  }
  void callModelSpace() override { add("callModelSpace"); }
  void callBlock(int index) override { add("callBlock " + std::to_string(index)); }
  void callPointSymbol() override { add("callPointSymbol"); }
  void finish() override { add("finish"); }

  std::vector<std::string> calls;

  static std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
  }

 private:
  void add(std::string line) { calls.push_back(std::move(line)); }
  static std::string vec(Vec3 v) { return "(" + num(v.x) + "," + num(v.y) + "," + num(v.z) + ")"; }
  static std::string rgb(Rgb c) { return "(" + num(c.r) + "," + num(c.g) + "," + num(c.b) + ")"; }
};

}  // namespace viewer
