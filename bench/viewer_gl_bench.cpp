// The viewer's display lists on a large drawing: compiling 2.5 million vertices of
// polylines on 50 layer colours (about what a 100 MB DXF of contours holds), and one redraw
// of model space (the list called, then glFinish) at 1600 x 1000 pixels off screen.
// With VIEWER_BENCH_FILE set, also a real drawing: load, compile, and one frame of its
// model tab and of its first layout as the window draws them.
//   build/bin/viewer_gl_bench [--benchmark_filter=...]
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "viewer/draw/view.h"
#include "viewer/dxf/drawing.h"
#include "viewer/gl/gl_backend.h"
#include "viewer/gl/offscreen.h"
#include "viewer/gl/scene.h"

namespace {

constexpr int kWidth = 1600, kHeight = 1000;
constexpr int kColours = 50, kStrips = 50000, kStripVertices = 50;
// A 40 km square of plane coordinates in millimetres, as the converter writes them.
constexpr double kWest = -40.0e6, kSouth = 10.0e6, kSide = 40.0e6;

// Wavy lines like contours: each a run of 50 vertices, a colour change every 1000 lines.
const viewer::Drawing& largeDrawing() {
  static const viewer::Drawing drawing = [] {
    viewer::Drawing d;
    auto& p = d.modelSpace;
    p.vertices.reserve(std::size_t(kStrips) * kStripVertices);
    p.ops.reserve(kStrips + kColours);
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) / 4294967296.0; };
    for (int s = 0; s < kStrips; ++s) {
      if (s % (kStrips / kColours) == 0) {
        const int c = s / (kStrips / kColours);
        p.ops.push_back({viewer::OpKind::colour, 0, 0, 0, 0, (c % 5) / 4.0, (c / 5 % 5) / 4.0, (c / 25) / 2.0});
      }
      double x = kWest + next() * kSide, y = kSouth + next() * kSide;
      const double heading = next() * 6.283;
      p.ops.push_back({viewer::OpKind::lineStrip, std::uint32_t(p.vertices.size()), kStripVertices});
      for (int v = 0; v < kStripVertices; ++v) {
        p.vertices.push_back({x, y, 100.0 * (s % 200)});
        x += 20000 * std::cos(heading + 0.3 * std::sin(v * 0.4));
        y += 20000 * std::sin(heading + 0.3 * std::sin(v * 0.4));
      }
    }
    return d;
  }();
  return drawing;
}

viewer::Offscreen* context(benchmark::State& state) {
  static viewer::Offscreen offscreen;
  static std::string error;
  static const bool made = offscreen.create(kWidth, kHeight, error);
  if (!made) {
    state.SkipWithError(("no offscreen OpenGL context: " + error).c_str());
    return nullptr;
  }
  offscreen.makeCurrent();
  return &offscreen;
}

void CompileLargeDrawing(benchmark::State& state) {
  if (!context(state)) return;
  const auto& drawing = largeDrawing();
  viewer::GlScene scene;
  for (auto _ : state) {
    if (!scene.compile(drawing, {})) return state.SkipWithError("compilation failed");
    glFinish();
    state.PauseTiming();
    scene.release();
    state.ResumeTiming();
  }
  state.counters["vertices"] = double(drawing.modelSpace.vertices.size());
  state.SetItemsProcessed(state.iterations() * std::int64_t(drawing.modelSpace.vertices.size()));
}
BENCHMARK(CompileLargeDrawing)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void RedrawLargeDrawing(benchmark::State& state) {
  if (!context(state)) return;
  const auto& drawing = largeDrawing();
  viewer::GlScene scene;
  if (!scene.compile(drawing, {})) return state.SkipWithError("compilation failed");
  viewer::GlBackend backend(scene);
  for (auto _ : state) {
    backend.clear({1, 1, 1});
    backend.viewport(2, 0, kWidth - 2, kHeight);
    const double height = kSide * 1.2, width = height * (kWidth - 2) / kHeight;
    const double cx = kWest + kSide / 2, cy = kSouth + kSide / 2;
    backend.ortho(cx - width / 2, cx + width / 2, cy - height / 2, cy + height / 2, -999999999, 999999999);
    backend.identity();
    backend.lookAt({0, 0, 1}, {0, 0, 0}, {0, 1, 0});
    backend.colour({0, 0, 0});
    backend.callModelSpace();
    glFinish();
  }
  scene.release();
  state.counters["vertices"] = double(drawing.modelSpace.vertices.size());
}
BENCHMARK(RedrawLargeDrawing)->Unit(benchmark::kMillisecond)->UseRealTime();

const char* sheetFile() { return std::getenv("VIEWER_BENCH_FILE"); }

void LoadSheet(benchmark::State& state) {
  if (!sheetFile()) return state.SkipWithError("VIEWER_BENCH_FILE not set");
  for (auto _ : state) {
    viewer::Drawing d;
    viewer::LoadError error;
    if (!viewer::loadDrawing(sheetFile(), d, error)) return state.SkipWithError(error.text.c_str());
    benchmark::DoNotOptimize(d.modelSpace.ops.size());
  }
}
BENCHMARK(LoadSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

// Compiles the sheet's lists, then draws frames of `tab` as the window does.
void sheetFrames(benchmark::State& state, int tab, bool compileOnly) {
  if (!sheetFile()) return state.SkipWithError("VIEWER_BENCH_FILE not set");
  if (!context(state)) return;
  viewer::Drawing d;
  viewer::LoadError error;
  if (!viewer::loadDrawing(sheetFile(), d, error)) return state.SkipWithError(error.text.c_str());
  if (d.hasModelView)
    viewer::adaptModelView(d, kWidth, kHeight);
  else
    viewer::fitModelView(d, kWidth, kHeight);
  viewer::GlScene scene;
  if (compileOnly) {
    for (auto _ : state) {
      if (!scene.compile(d, viewer::pointSymbol(d.pointMode))) return state.SkipWithError("compilation failed");
      glFinish();
      state.PauseTiming();
      scene.release();
      state.ResumeTiming();
    }
    return;
  }
  if (!scene.compile(d, viewer::pointSymbol(d.pointMode))) return state.SkipWithError("compilation failed");
  viewer::GlBackend backend(scene);
  for (auto _ : state) {
    if (viewer::renderView(d, tab, kWidth, kHeight, 0, backend) != viewer::FrameResult::drawn)
      return state.SkipWithError("no such view");
    glFinish();
  }
  scene.release();
}
void CompileSheet(benchmark::State& state) { sheetFrames(state, 0, true); }
void RedrawSheetModel(benchmark::State& state) { sheetFrames(state, 0, false); }
void RedrawSheetLayout(benchmark::State& state) { sheetFrames(state, 1, false); }
BENCHMARK(CompileSheet)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RedrawSheetModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RedrawSheetLayout)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
