// The viewer's reader on a large drawing: MB/s of loadDrawing over a generated 100 MB file
// of LWPOLYLINEs (20 vertices each, plane coordinates in millimetres as the converter
// writes them) on 50 layers with CP932 names, with a paper-space layout so that all three
// passes run.
//   build/bin/viewer_load_bench
//   build/bin/viewer_load_bench --write FILE   (only writes the drawing, for other tools)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "platform/text_codec.h"
#include "viewer/dxf/drawing.h"

namespace fs = std::filesystem;

namespace {

constexpr long long kFileBytes = 100LL * 1000 * 1000;
constexpr int kLayers = 50;

std::string layerName(int i) { return platform::utf8ToCp932("等高線_" + std::to_string(10 * i)); }

struct Generated {
  fs::path folder, file;
  long long polylines = 0;
};

// Writes the large drawing; the number of polylines written, -1 when the file cannot be made.
long long writeLarge(const fs::path& file) {
  long long polylines = 0;
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return -1;
    std::fputs(
        "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1018\r\n9\r\n$DWGCODEPAGE\r\n3\r\nANSI_932\r\n"
        "9\r\n$PDMODE\r\n70\r\n35\r\n0\r\nENDSEC\r\n"
        "0\r\nSECTION\r\n2\r\nTABLES\r\n0\r\nTABLE\r\n2\r\nVPORT\r\n5\r\n8\r\n330\r\n0\r\n100\r\nAcDbSymbolTable\r\n"
        "70\r\n1\r\n0\r\nVPORT\r\n5\r\n29\r\n330\r\n8\r\n100\r\nAcDbSymbolTableRecord\r\n100\r\nAcDbViewportTableRecord"
        "\r\n2\r\n*Active\r\n70\r\n0\r\n12\r\n-7000000\r\n22\r\n-36000000\r\n40\r\n2000000\r\n41\r\n1.5\r\n0\r\nENDTAB"
        "\r\n0\r\nTABLE\r\n2\r\nLAYER\r\n5\r\n2\r\n330\r\n0\r\n100\r\nAcDbSymbolTable\r\n70\r\n51\r\n"
        "0\r\nLAYER\r\n5\r\n10\r\n330\r\n2\r\n100\r\nAcDbSymbolTableRecord\r\n100\r\nAcDbLayerTableRecord\r\n2\r\n0\r\n"
        "70\r\n0\r\n62\r\n7\r\n6\r\nCONTINUOUS\r\n",
        f);
    for (int i = 0; i < kLayers; ++i) {
      std::fprintf(
          f,
          "0\r\nLAYER\r\n5\r\n%X\r\n330\r\n2\r\n100\r\nAcDbSymbolTableRecord\r\n100\r\nAcDbLayerTableRecord\r\n"
          "2\r\n%s\r\n70\r\n0\r\n62\r\n%d\r\n6\r\nCONTINUOUS\r\n370\r\n0\r\n",
          0x100 + i, layerName(i).c_str(), i % 255 + 1);
    }
    std::fputs(
        "0\r\nENDTAB\r\n0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nBLOCKS\r\n"
        "0\r\nBLOCK\r\n5\r\n20\r\n330\r\n1F\r\n100\r\nAcDbEntity\r\n8\r\n0\r\n100\r\nAcDbBlockBegin\r\n2\r\n"
        "*Model_Space\r\n70\r\n0\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n0\r\nENDBLK\r\n5\r\n21\r\n330\r\n1F\r\n"
        "0\r\nBLOCK\r\n5\r\n1C\r\n330\r\n1B\r\n100\r\nAcDbEntity\r\n67\r\n1\r\n8\r\n0\r\n100\r\nAcDbBlockBegin\r\n2\r\n"
        "*Paper_Space\r\n70\r\n0\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n0\r\nENDBLK\r\n5\r\n1D\r\n330\r\n1B\r\n"
        "0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n"
        "0\r\nVIEWPORT\r\n5\r\n1A\r\n330\r\n1B\r\n100\r\nAcDbEntity\r\n67\r\n1\r\n8\r\n0\r\n100\r\nAcDbViewport\r\n"
        "10\r\n210\r\n20\r\n148\r\n30\r\n0\r\n40\r\n400\r\n41\r\n280\r\n12\r\n-7000000\r\n22\r\n-36000000\r\n"
        "45\r\n2000000\r\n",
        f);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> east(-8000000, -6000000), north(-37000000, -35000000), step(-5000, 5000);
    for (long long i = 0; std::ftell(f) < kFileBytes; ++i) {
      std::fprintf(
          f,
          "0\r\nLWPOLYLINE\r\n5\r\n%llX\r\n330\r\n1F\r\n100\r\nAcDbEntity\r\n8\r\n%s\r\n100\r\nAcDbPolyline\r\n"
          "90\r\n20\r\n70\r\n0\r\n43\r\n0\r\n",
          0x1000 + i, layerName(static_cast<int>(i % kLayers)).c_str());
      double x = east(random), y = north(random);
      for (int k = 0; k < 20; ++k) {
        std::fprintf(f, "10\r\n%.3f\r\n20\r\n%.3f\r\n", x, y);
        x += step(random);
        y += step(random);
      }
      ++polylines;
    }
    std::fputs(
        "0\r\nLINE\r\n5\r\n30\r\n330\r\n1B\r\n100\r\nAcDbEntity\r\n67\r\n1\r\n8\r\n0\r\n100\r\nAcDbLine\r\n"
        "10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n11\r\n420\r\n21\r\n297\r\n31\r\n0\r\n0\r\nENDSEC\r\n"
        "0\r\nSECTION\r\n2\r\nOBJECTS\r\n0\r\nLAYOUT\r\n5\r\n24\r\n330\r\n1A\r\n100\r\nAcDbPlotSettings\r\n1\r\n\r\n"
        "100\r\nAcDbLayout\r\n1\r\nLayout1\r\n70\r\n1\r\n71\r\n1\r\n10\r\n0\r\n20\r\n0\r\n11\r\n420\r\n21\r\n297\r\n"
        "330\r\n1B\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n",
        f);
    std::fclose(f);
  }
  return polylines;
}

Generated& generated() {
  static Generated g = [] {
    Generated out;
    out.folder = fs::temp_directory_path() / ("terralinea-viewer-bench-" + std::to_string(::getpid()));
    fs::create_directories(out.folder);
    out.file = out.folder / "large.dxf";
    out.polylines = writeLarge(out.file);
    return out;
  }();
  return g;
}

void BM_loadDrawing(benchmark::State& state) {
  auto& g = generated();
  std::size_t vertices = 0;
  for (auto _ : state) {
    viewer::Drawing drawing;
    viewer::LoadError error;
    if (!viewer::loadDrawing(g.file.string(), drawing, error)) state.SkipWithError(error.text.c_str());
    vertices = drawing.modelSpace.vertices.size();
    if (drawing.layers.size() != kLayers + 1 || !drawing.notes.empty()) state.SkipWithError("unexpected drawing");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(fs::file_size(g.file)));
  state.counters["polylines"] = static_cast<double>(g.polylines);
  state.counters["vertices"] = static_cast<double>(vertices);
}

}  // namespace

BENCHMARK(BM_loadDrawing)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write") return writeLarge(argv[2]) < 0 ? 1 : 0;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(generated().folder, ec);
  return 0;
}
