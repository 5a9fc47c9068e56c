// The vector readers on dense files: MB/s of GML and vertices per second, against GDAL's
// ogr2ogr -f DXF on the same files in the same run.
//   build/bin/fgd_bench [--benchmark_filter=...]
// No published mesh here is dense, so the files are generated in the published layout
// (one element per line, one "lat lon" pair per line, CRLF) at the size of a dense urban
// mesh: about 45 MB of buildings and 25 MB of road edges. The dataset head carries the
// published namespace, by which GDAL recognises the files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/null_host.h"
#include "converter/fgd/gml_readers.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"

namespace fs = std::filesystem;

namespace {

const char* kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<Dataset xsi:schemaLocation=\"http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema FGD_GMLSchema.xsd\"\r\n"
    "\txmlns:gml=\"http://www.opengis.net/gml/3.2\"\r\n"
    "\txmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
    "\txmlns:xlink=\"http://www.w3.org/1999/xlink\"\r\n"
    "\txmlns=\"http://fgd.gsi.go.jp/spec/2008/FGD_GMLSchema\"\r\n"
    "\tgml:id=\"Dataset1\">\r\n"
    "  <gml:description>基盤地図情報メタデータ ID=fmdid:18-1001</gml:description>\r\n"
    "  <gml:name>基盤地図情報ダウンロードデータ（GML版）</gml:name>\r\n";

struct Generated {
  fs::path folder, buildings, roads;
  long long buildingVertices = 0, roadVertices = 0;
};

void lifespan(std::FILE* f, const char* id) {
  std::fprintf(
      f,
      "<fid>20180904-46884-12126-s-%s</fid>\r\n<lfSpanFr "
      "gml:id=\"%s-1\">\r\n<gml:timePosition>2018-09-04</gml:timePosition>\r\n"
      "</lfSpanFr>\r\n<devDate gml:id=\"%s-2\">\r\n<gml:timePosition>2018-09-05</gml:timePosition>\r\n</devDate>\r\n"
      "<orgGILvl>2500</orgGILvl>\r\n",
      id, id, id);
}

// Mesh 533946 (central Tokyo): 35.666…–35.75 N, 139.75–139.875 E.
Generated& generated() {
  static Generated g = [] {
    Generated out;
    out.folder = fs::temp_directory_path() / ("terralinea-fgd-bench-" + std::to_string(::getpid()));
    fs::create_directories(out.folder);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> lat(35.6667, 35.7499), lon(139.7501, 139.8749), unit(0, 1);
    const char* types[] = {"普通建物", "堅ろう建物", "普通無壁舎"};
    out.buildings = out.folder / "FG-GML-533946-BldA-20230101-0001.xml";
    std::FILE* f = std::fopen(out.buildings.c_str(), "wb");
    std::fputs(kHead, f);
    for (int i = 0; ftell(f) < 45L * 1000 * 1000; ++i) {
      char id[32];
      std::snprintf(id, sizeof id, "K17_%d", i);
      std::fprintf(f, "<BldA gml:id=\"%s\">\r\n", id);
      lifespan(f, id);
      std::fprintf(
          f,
          "<area>\r\n<gml:Surface gml:id=\"%s-g\" "
          "srsName=\"fguuid:jgd2011.bl\">\r\n<gml:patches>\r\n<gml:PolygonPatch>\r\n"
          "<gml:exterior>\r\n<gml:Ring>\r\n<gml:curveMember>\r\n<gml:Curve gml:id=\"%s-3\">\r\n<gml:segments>\r\n"
          "<gml:LineStringSegment>\r\n<gml:posList>\r\n",
          id, id);
      const double la = lat(random), lo = lon(random);
      const int n = 4 + static_cast<int>(unit(random) * 12);
      for (int k = 0; k < n; ++k) {
        const double a = 6.283185307179586 * k / n;
        std::fprintf(f, "%.9f %.9f\r\n", la + 0.0001 * std::sin(a), lo + 0.00012 * std::cos(a));
      }
      std::fprintf(f, "%.9f %.9f\r\n", la, lo + 0.00012);
      out.buildingVertices += n + 1;
      std::fprintf(
          f,
          "</gml:posList>\r\n</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n</gml:curveMember>\r\n"
          "</gml:Ring>\r\n</gml:exterior>\r\n</gml:PolygonPatch>\r\n</gml:patches>\r\n</gml:Surface>\r\n</area>\r\n"
          "<type>%s</type>\r\n</BldA>\r\n",
          types[i % 3]);
    }
    std::fputs("</Dataset>\r\n", f);
    std::fclose(f);

    const char* roadTypes[] = {"真幅道路", "徒歩道", "庭園路等"};
    out.roads = out.folder / "FG-GML-533946-RdEdg-20230101-0001.xml";
    f = std::fopen(out.roads.c_str(), "wb");
    std::fputs(kHead, f);
    for (int i = 0; ftell(f) < 25L * 1000 * 1000; ++i) {
      char id[32];
      std::snprintf(id, sizeof id, "K19_%d", i);
      std::fprintf(f, "<RdEdg gml:id=\"%s\">\r\n", id);
      lifespan(f, id);
      std::fprintf(
          f,
          "<vis>表示</vis>\r\n<loc>\r\n<gml:Curve gml:id=\"%s-g\" srsName=\"fguuid:jgd2011.bl\">\r\n<gml:segments>\r\n"
          "<gml:LineStringSegment>\r\n<gml:posList>\r\n",
          id);
      double la = lat(random), lo = lon(random);
      const int n = 2 + static_cast<int>(unit(random) * 20);
      for (int k = 0; k < n; ++k) {
        std::fprintf(f, "%.9f %.9f\r\n", la, lo);
        la += (unit(random) - 0.5) * 0.0002;
        lo += (unit(random) - 0.5) * 0.0002;
      }
      out.roadVertices += n;
      std::fprintf(f,
                   "</gml:posList>\r\n</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n</"
                   "loc>\r\n<type>%s</type>\r\n"
                   "<admOffice>不明</admOffice>\r\n</RdEdg>\r\n",
                   roadTypes[i % 3]);
    }
    std::fputs("</Dataset>\r\n", f);
    std::fclose(f);
    return out;
  }();
  return g;
}

using Reader = void (fgd::GmlReaders::*)(const fs::path&);

void readerBench(benchmark::State& state, bool buildings, Reader reader, const char* element) {
  auto& g = generated();
  const fs::path file = buildings ? g.buildings : g.roads;
  settings::DrawingSettings s;
  settings::RunValues v;
  geo::PlaneCoordinates c;
  c.selectSystem(9);
  c.unitsPerMetre = v.unitsPerMetre = 1000;
  NullHost host;
  sheet::RunContext ctx(s, v, c, host);
  ctx.pointBuffer.assign(settings::kDefaultBufferCells, geo::PointPair{0, 0});
  ctx.sheetWest = ctx.sheetSouth = -1e12;
  ctx.sheetEast = ctx.sheetNorth = 1e12;
  fgd::GroupState group;
  const char* values[] = {"普通建物", "堅ろう建物", "普通無壁舎", "真幅道路", "徒歩道", "庭園路等"};
  for (int i = 0; i < 6; ++i) {
    group.activeLayerNames.push_back(std::string("00") + std::to_string(i) + values[i]);
    group.activeAttributeValues.push_back(values[i]);
    group.activeOptions.emplace_back();
    group.activeSizeIndexes.push_back(12);
  }
  group.setElement(element);
  const fs::path out = g.folder / "out.dxf";
  long long vertices = 0;
  for (auto _ : state) {
    dxfio::FileSink sink;
    sink.open(out);
    dxfio::DxfWriter writer(sink, sheet::kFirstProducerHandle);
    sheet::EntityWriter entities(writer, ctx.settings.flavour());
    fgd::GmlReaders readers(ctx, group, entities);
    (readers.*reader)(file);
    vertices = readers.verticesWritten();
    sink.close();
    sink.commit();
    if (!ctx.anomalyMessage.empty()) state.SkipWithError(ctx.anomalyMessage.c_str());
  }
  const auto bytes = static_cast<long long>(fs::file_size(file));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["vertices/s"] =
      benchmark::Counter(static_cast<double>(vertices) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["outMB"] = static_cast<double>(fs::file_size(out)) / 1e6;
}

void BM_GML1024Hatch_BldA(benchmark::State& s) { readerBench(s, true, &fgd::GmlReaders::GML1024Hatch, "BldA"); }
void BM_GML512HatchEdge_BldA(benchmark::State& s) { readerBench(s, true, &fgd::GmlReaders::GML512HatchEdge, "BldA"); }
void BM_GML32Poly_BldA(benchmark::State& s) { readerBench(s, true, &fgd::GmlReaders::GML32Poly, "BldA"); }
void BM_GML256Poly_RdEdg(benchmark::State& s) { readerBench(s, false, &fgd::GmlReaders::GML256Poly, "RdEdg"); }
void BM_GML32Poly_RdEdg(benchmark::State& s) { readerBench(s, false, &fgd::GmlReaders::GML32Poly, "RdEdg"); }

// The peer a user would otherwise reach for, on the same files, timed by the wall clock.
void ogrBench(benchmark::State& state, bool buildings) {
  auto& g = generated();
  const fs::path file = buildings ? g.buildings : g.roads;
  const fs::path out = g.folder / "ogr.dxf";
  const std::string command = "ogr2ogr -f DXF '" + out.string() + "' '" + file.string() + "' >/dev/null 2>&1";
  if (std::system("command -v ogr2ogr >/dev/null 2>&1") != 0) {
    state.SkipWithError("ogr2ogr not installed");
    return;
  }
  for (auto _ : state) {
    fs::remove(out);
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("ogr2ogr failed");
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(fs::file_size(file)));
  const double vertices = static_cast<double>(buildings ? g.buildingVertices : g.roadVertices);
  state.counters["vertices/s"] = benchmark::Counter(vertices * state.iterations(), benchmark::Counter::kIsRate);
  std::error_code ec;
  state.counters["outMB"] = static_cast<double>(fs::file_size(out, ec)) / 1e6;
}
void BM_ogr2ogr_DXF_BldA(benchmark::State& s) { ogrBench(s, true); }
void BM_ogr2ogr_DXF_RdEdg(benchmark::State& s) { ogrBench(s, false); }

}  // namespace

BENCHMARK(BM_GML1024Hatch_BldA)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GML512HatchEdge_BldA)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GML32Poly_BldA)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GML256Poly_RdEdg)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GML32Poly_RdEdg)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ogr2ogr_DXF_BldA)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
BENCHMARK(BM_ogr2ogr_DXF_RdEdg)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(generated().folder, ec);
  return 0;
}
