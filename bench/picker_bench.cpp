// The area picker's map of a large data folder: 100 second-level meshes (10 x 10) with
// AdmArea, AdmBdry and RdEdg files generated in the published layout. Loading the
// boundaries into the point buffer, compiling their display lists, one redraw of the whole
// map at 1600 x 1000 pixels (lists called, then glFinish), and the same for the roads of
// the whole map at level "道路". The boundaries are as dense as a published mesh's (about
// 9,000 points and 150 km of lines in each file). Off screen through EGL, Mesa's software renderer here.
//   build/bin/picker_bench [--benchmark_filter=...]
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "converter/geo/plane_coordinates.h"
#include "converter/picker/area_editor.h"
#include "converter/picker/boundary_map.h"
#include "converter/picker/gl/map_painter.h"
#include "converter/settings/drawing_settings.h"
#include "viewer/gl/offscreen.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 1600, kHeight = 1000, kSide = 10;
constexpr int kAreasPerMesh = 60, kAreaPoints = 150, kRoadsPerMesh = 2000, kRoadPoints = 8;

const char* kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<Dataset xmlns:gml=\"http://www.opengis.net/gml/3.2\" xmlns=\"http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema\" "
    "gml:id=\"Dataset1\">\r\n";
const char* kTypes[] = {"町村・指定都市の区", "大字・町・丁目", "郡市・東京都の区", "都道府県", "その他"};

// One file of `count` features of class `cls`, each one coordinate list from `points`.
template <typename Points>
void writeFile(const fs::path& file, const char* cls, int count, bool area, Points points) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  std::fputs(kHead, f);
  for (int i = 0; i < count; ++i) {
    std::fprintf(f, "<%s gml:id=\"K%d\">\r\n<fid>x-%d</fid>\r\n%s\r\n<gml:Curve gml:id=\"K%d-g\">\r\n", cls, i, i,
                 area ? "<area>" : "<loc>", i);
    std::fputs("<gml:segments>\r\n<gml:LineStringSegment>\r\n<gml:posList>\r\n", f);
    points(f, i);
    std::fprintf(f, "</gml:posList>\r\n</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n%s\r\n",
                 area ? "</area>" : "</loc>");
    std::fprintf(f, "<type>%s</type>\r\n</%s>\r\n", kTypes[i % 5], cls);
  }
  std::fputs("</Dataset>\r\n", f);
  std::fclose(f);
}

struct Folder {
  fs::path path;
  picker::MapFiles files;
  gml::Box box;
};

// Meshes 533900.. : 10 rows from 35.333 N, 10 columns from 139.0 E.
const Folder& folder() {
  static const Folder folder = [] {
    Folder out;
    out.path = fs::temp_directory_path() / ("terralinea-picker-bench-" + std::to_string(::getpid()));
    fs::create_directories(out.path);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c) {
        char code[16];
        std::snprintf(code, sizeof code, "%02d%02d%d%d", 53 + r / 8, 39 + c / 8, r % 8, c % 8);
        const double south = (53 + r / 8) / 1.5 + (r % 8) / 12.0, west = 139 + (c / 8) + (c % 8) / 8.0;
        auto name = [&](const char* cls) { return out.path / ("FG-GML-" + std::string(code) + "-" + cls + "-20230101-0001.xml"); };
        // Wavy closed rings and open boundary lines inside the mesh.
        auto ring = [&](std::FILE* f, int) {
          const double la = south + 0.01 + unit(random) * 0.063, lo = west + 0.015 + unit(random) * 0.095;
          const double rla = 0.002 + unit(random) * 0.003, rlo = 0.0025 + unit(random) * 0.004;
          for (int k = 0; k <= kAreaPoints; ++k) {
            const double a = 6.283185307179586 * k / kAreaPoints, wave = 1 + 0.1 * std::sin(9 * a);
            std::fprintf(f, "%.9f %.9f\r\n", la + rla * wave * std::sin(a), lo + rlo * wave * std::cos(a));
          }
        };
        writeFile(name("AdmArea"), "AdmArea", kAreasPerMesh, true, ring);
        writeFile(name("AdmBdry"), "AdmBdry", kAreasPerMesh, false, ring);
        writeFile(name("RdEdg"), "RdEdg", kRoadsPerMesh, false, [&](std::FILE* f, int) {
          double la = south + 0.002 + unit(random) * 0.079, lo = west + 0.002 + unit(random) * 0.12;
          for (int k = 0; k < kRoadPoints; ++k) {
            std::fprintf(f, "%.9f %.9f\r\n", la, lo);
            la += (unit(random) - 0.5) * 0.0004;
            lo += (unit(random) - 0.5) * 0.0004;
          }
        });
      }
    out.files = picker::listFiles(out.path.string());
    return out;
  }();
  return folder;
}

struct Scene {
  viewer::Offscreen surface;
  geo::PlaneCoordinates coordinates;
  std::vector<geo::PointPair> store = std::vector<geo::PointPair>(settings::kDefaultBufferCells);
  picker::BoundaryMap map{store};
  picker::MapPainter painter;
  picker::PlaneRect view{};
  bool ready = false;
  Scene() {
    std::string error;
    ready = surface.create(kWidth, kHeight, error);
    if (!ready) std::fprintf(stderr, "no offscreen context: %s\n", error.c_str());
    coordinates.selectSystem(9);
  }
  // The view of the whole data, shaped like the frame.
  void showAll() { view = picker::fittedView(picker::cornerRect(map.dataBox(), coordinates), kWidth, kHeight); }
  void redraw(int level) {
    picker::MapPainter::Frame frame;
    frame.view = view;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.level = level;
    painter.draw(frame);
    glFinish();
  }
};

Scene& scene() {
  static Scene s;
  return s;
}

void BM_LoadBoundaries(benchmark::State& state) {
  const auto& f = folder();
  auto& s = scene();
  for (auto _ : state) {
    const auto files = picker::listFiles(f.path.string());
    const auto end = s.map.loadBoundaries(files.boundaryFiles());
    if (!end.loaded()) state.SkipWithError(end.text.c_str());
  }
  state.counters["points"] = static_cast<double>(s.map.used());
  state.counters["files"] = static_cast<double>(f.files.areas.size());
}
BENCHMARK(BM_LoadBoundaries)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CompileBoundaries(benchmark::State& state) {
  auto& s = scene();
  if (!s.ready) return state.SkipWithError("no offscreen context");
  s.map.loadBoundaries(folder().files.boundaryFiles());
  for (auto _ : state) {
    s.painter.compileBoundaries(s.map, s.coordinates);
    glFinish();
  }
}
BENCHMARK(BM_CompileBoundaries)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RedrawBoundaries(benchmark::State& state) {
  auto& s = scene();
  if (!s.ready) return state.SkipWithError("no offscreen context");
  s.map.loadBoundaries(folder().files.boundaryFiles());
  s.painter.compileBoundaries(s.map, s.coordinates);
  s.showAll();
  for (auto _ : state) s.redraw(picker::kOtherLevel);
}
BENCHMARK(BM_RedrawBoundaries)->Unit(benchmark::kMillisecond)->Iterations(20);

// Zoomed in on one mesh: its tiles at full detail, the rest not called.
void BM_RedrawOneMesh(benchmark::State& state) {
  auto& s = scene();
  if (!s.ready) return state.SkipWithError("no offscreen context");
  const picker::PlaneRect all = s.view;
  const double w = (all.right - all.left) / kSide, h = (all.top - all.bottom) / kSide;
  s.view = {all.left + 4 * w, all.left + 5 * w, all.bottom + 4 * h, all.bottom + 5 * h};
  for (auto _ : state) s.redraw(picker::kOtherLevel);
  s.view = all;
}
BENCHMARK(BM_RedrawOneMesh)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LoadAndCompileRoads(benchmark::State& state) {
  auto& s = scene();
  if (!s.ready) return state.SkipWithError("no offscreen context");
  s.map.loadBoundaries(folder().files.boundaryFiles());
  s.painter.compileBoundaries(s.map, s.coordinates);
  s.showAll();
  for (auto _ : state) {
    const auto end = s.map.loadRoads(folder().files.roads, s.coordinates, s.view);
    if (!end.loaded()) state.SkipWithError(end.text.c_str());
    s.painter.compileRoads(s.map, s.coordinates.unitsPerMetre);
    glFinish();
  }
  state.counters["points"] = static_cast<double>(s.map.used());
}
BENCHMARK(BM_LoadAndCompileRoads)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RedrawWithRoads(benchmark::State& state) {
  auto& s = scene();
  if (!s.ready) return state.SkipWithError("no offscreen context");
  for (auto _ : state) s.redraw(picker::kRoadLevel);
}
BENCHMARK(BM_RedrawWithRoads)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::error_code ec;
  fs::remove_all(folder().path, ec);
  return 0;
}
