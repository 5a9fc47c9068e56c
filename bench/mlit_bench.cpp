// The National Land Numerical Information readers on large files: MB/s of each reader.
//   build/bin/mlit_bench [--benchmark_filter=...]
//   build/bin/mlit_bench --generate FOLDER   writes the files and keeps them (for
//                                            bench/mlit_vs_ogr2ogr.sh), runs nothing
// No published file is at hand, so the files are generated in the layout of the fixtures
// in tests/data/mlit (geometry part with identifiers, then the attribute objects; one
// element per line, one tab-indented "lat lon" pair per line, CR LF), about 60 MB each.
// Airports are the exception: their point numbers index a table of 500, so the file holds
// 499 airports, a few hundred kilobytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "bench/null_host.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/mlit/mlit_readers.h"
#include "converter/settings/item_files.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"

namespace fs = std::filesystem;

namespace {

constexpr long kTargetBytes = 60L * 1000 * 1000;

// Prefecture 40 (Fukuoka), plane system II.
struct Random {
  std::mt19937 engine{42};
  std::uniform_real_distribution<double> lat{33.40, 34.00}, lon{130.00, 131.00}, unit{0, 1};
};

class Writer {
 public:
  Writer(const fs::path& file, const char* encoding) : f_(std::fopen(file.c_str(), "wb")) {
    std::fprintf(f_,
                 "<?xml version=\"1.0\" encoding=\"%s\"?>\r\n<ksj:Dataset gml:id=\"Dataset1\"\r\n"
                 " xmlns:ksj=\"http://nlftp.mlit.go.jp/ksj/schemas/ksj-app\"\r\n"
                 " xmlns:gml=\"http://www.opengis.net/gml/3.2\"\r\n"
                 " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
                 " xmlns:xlink=\"http://www.w3.org/1999/xlink\"\r\n"
                 " xsi:schemaLocation=\"http://nlftp.mlit.go.jp/ksj/schemas/ksj-app KsjAppSchema.xsd\">\r\n"
                 "<gml:description>%s</gml:description>\r\n<!--図形-->\r\n",
                 encoding, std::strcmp(encoding, "UTF-8") == 0 ? "国土数値情報 インスタンス文書" : "KSJ");
  }
  ~Writer() {
    std::fputs("</ksj:Dataset>\r\n", f_);
    std::fclose(f_);
  }
  long size() const { return std::ftell(f_); }
  template <typename... A>
  void put(const char* format, A... args) {
    std::fprintf(f_, format, args...);
  }
  // A ring (or line) of n points around or from (la, lo).
  void curve(const char* id, int n, double la, double lo, bool ring, Random& r) {
    put("<gml:Curve gml:id=\"%s\">\r\n<gml:segments>\r\n<gml:LineStringSegment>\r\n<gml:posList>\r\n", id);
    for (int k = 0; k < n; ++k) {
      const double a = 6.283185307179586 * k / n;
      if (ring)
        put("\t\t\t\t%.6f %.6f\r\n", la + 0.001 * std::sin(a), lo + 0.0012 * std::cos(a));
      else
        put("\t\t\t\t%.6f %.6f\r\n", la += (r.unit(r.engine) - 0.5) * 0.002, lo += (r.unit(r.engine) - 0.5) * 0.002);
    }
    if (ring) put("\t\t\t\t%.6f %.6f\r\n", la, lo + 0.0012);
    put("</gml:posList>\r\n</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n");
  }
  void surface(const char* id, const char* ring0, const char* ring1) {
    put("<gml:Surface gml:id=\"%s\">\r\n<gml:patches>\r\n<gml:PolygonPatch>\r\n<gml:exterior>\r\n<gml:Ring>\r\n"
        "<gml:curveMember xlink:href=\"#%s\"/>\r\n</gml:Ring>\r\n</gml:exterior>\r\n",
        id, ring0);
    if (ring1)
      put("<gml:interior>\r\n<gml:Ring>\r\n<gml:curveMember xlink:href=\"#%s\"/>\r\n</gml:Ring>\r\n</gml:interior>\r\n",
          ring1);
    put("</gml:PolygonPatch>\r\n</gml:patches>\r\n</gml:Surface>\r\n");
  }
  void point(const char* id, double la, double lo) {
    put("<gml:Point gml:id=\"%s\">\r\n<gml:pos>%.6f %.6f</gml:pos>\r\n</gml:Point>\r\n", id, la, lo);
  }

 private:
  std::FILE* f_;
};

// Areas with every eighth holding a hole: curve ids "<prefix>N_0", surface ids "<sf>N".
// Returns the number of areas; `attribute` writes the attribute object of area n.
int areas(Writer& w, const char* curvePrefix, const char* (*surfaceId)(int, char*), Random& r, long bytes,
          const std::function<void(int)>& attribute, long attributeBytes) {
  int n = 0;
  char a[32], b[32], s[32];
  for (; w.size() < bytes - attributeBytes * n; ++n) {
    const double la = r.lat(r.engine), lo = r.lon(r.engine);
    std::snprintf(a, sizeof a, "%s%d_0", curvePrefix, n + 1);
    w.curve(a, 6 + static_cast<int>(r.unit(r.engine) * 24), la, lo, true, r);
    if (n % 8 == 0) {
      std::snprintf(b, sizeof b, "%s%d_1", curvePrefix, n + 1);
      w.curve(b, 4, la, lo + 0.0003, true, r);
    }
  }
  for (int k = 0; k < n; ++k) {
    std::snprintf(a, sizeof a, "%s%d_0", curvePrefix, k + 1);
    std::snprintf(b, sizeof b, "%s%d_1", curvePrefix, k + 1);
    w.surface(surfaceId(k + 1, s), a, k % 8 == 0 ? b : nullptr);
  }
  w.put("<!--地物-->\r\n");
  for (int k = 0; k < n; ++k) attribute(k + 1);
  return n;
}

const char* sfId(int n, char* out) { return std::snprintf(out, 32, "sf%d", n), out; }
const char* aId(int n, char* out) { return std::snprintf(out, 32, "a%05d", n), out; }

struct Family {
  const char* name;  // file name; holds the item key where the reader asks for it
  const char* key;
  int bits;
  std::function<void(Writer&, Random&)> write;
  const char* encoding = "UTF-8";
};

const Family kFamilies[] = {
    {"N02-bench.xml", "N02-", mlit::kLines,
     [](Writer& w, Random& r) {
       char id[32];
       for (int n = 1; w.size() < kTargetBytes; ++n) {
         std::snprintf(id, sizeof id, "cv_rss%d", n);
         w.curve(id, 2 + static_cast<int>(r.unit(r.engine) * 30), r.lat(r.engine), r.lon(r.engine), false, r);
       }
     }},
    {"W09-bench.xml", "W09-", mlit::kAreas,
     [](Writer& w, Random& r) {
       areas(
           w, "cv", sfId, r, kTargetBytes, [](int) {}, 0);
     }},
    {"A29-bench.xml", "A29-1", mlit::kZoningAreas,
     [](Writer& w, Random& r) {
       areas(
           w, "cv", sfId, r, kTargetBytes,
           [&w](int k) {
             w.put(
                 "<ksj:UseDistrict gml:id=\"a%d\">\r\n<ksj:bounds xlink:href=\"#sf%d\"/>\r\n<ksj:dac>%d</ksj:dac>\r\n"
                 "<ksj:prefectureName>福岡県</ksj:prefectureName>\r\n</ksj:UseDistrict>\r\n",
                 k, k, 1 + k % 12);
           },
           170);
     }},
    {"A31-12-bench.xml", "A31-12", mlit::kDepthAreas,
     [](Writer& w, Random& r) {
       areas(
           w, "c", aId, r, kTargetBytes,
           [&w](int k) {
             w.put(
                 "<ksj:ExpectedFloodArea gml:id=\"ef%d\">\r\n<ksj:bounds xlink:href=\"#a%05d\"/>\r\n"
                 "<ksj:waterDepth>%d</ksj:waterDepth>\r\n</ksj:ExpectedFloodArea>\r\n",
                 k, k, k % 5);
           },
           140);
     }},
    {"A26-bench.xml", "A26-", mlit::kDepthAreas,
     [](Writer& w, Random& r) {
       areas(
           w, "cv", sfId, r, kTargetBytes,
           [&w](int k) {
             w.put(
                 "<ksj:SedimentDisasterHazardArea gml:id=\"sdh%05d\">\r\n<ksj:bounds xlink:href=\"#sf%d\"/>\r\n"
                 "<ksj:prefectureCode>40</ksj:prefectureCode>\r\n<ksj:hazardAreaType>%d</ksj:hazardAreaType>\r\n"
                 "</ksj:SedimentDisasterHazardArea>\r\n",
                 k, k, 1 + k % 3);
           },
           220);
     }},
    {"N03-bench.xml", "N03-L", mlit::kAreaLabels,
     [](Writer& w, Random& r) {
       areas(
           w, "cv", sfId, r, kTargetBytes,
           [&w](int k) {
             w.put(
                 "<ksj:AdministrativeBoundary gml:id=\"gy%d\">\r\n<ksj:prefectureName>福岡県</ksj:prefectureName>\r\n"
                 "<ksj:cityName>区%d</ksj:cityName>\r\n<ksj:bounds xlink:href=\"#sf%d\"/>\r\n"
                 "</ksj:AdministrativeBoundary>\r\n",
                 k, k, k);
           },
           190);
     }},
    {"P11-bench.xml", "P11-", mlit::kPointLabels,
     [](Writer& w, Random& r) {
       // Shift_JIS like the fixture: the names are ASCII, so the bytes are the same.
       const long perStop = 180;
       int n = 0;
       char id[32];
       for (; w.size() < kTargetBytes - perStop * n; ++n) {
         std::snprintf(id, sizeof id, "n%d", n + 1);
         w.point(id, r.lat(r.engine), r.lon(r.engine));
       }
       w.put("<!--features-->\r\n");
       for (int k = 1; k <= n; ++k)
         w.put(
             "<ksj:BusStop gml:id=\"ED01_%d\">\r\n<ksj:position xlink:href=\"#n%d\"/>\r\n"
             "<ksj:busStopName>stop%d</ksj:busStopName>\r\n<ksj:busOperationCompany>city</ksj:busOperationCompany>\r\n"
             "</ksj:BusStop>\r\n",
             k, k, k);
     },
     "Shift_JIS"},
    {"A30a5-bench.xml", "A30a5", mlit::kTornadoTracks,
     [](Writer& w, Random& r) {
       const long perTornado = 330;
       int n = 0;
       char id[32];
       for (; w.size() < kTargetBytes - perTornado * n; ++n) {
         const double la = r.lat(r.engine), lo = r.lon(r.engine);
         std::snprintf(id, sizeof id, "pt_%d", 2 * n + 1);
         w.point(id, la, lo);
         std::snprintf(id, sizeof id, "pt_%d", 2 * n + 2);
         w.point(id, la + 0.01, lo + 0.02);
       }
       w.put("<!--地物-->\r\n");
       for (int k = 1; k <= n; ++k)
         w.put(
             "<ksj:AppearancePoint gml:id=\"start_%d\">\r\n<ksj:position xlink:href=\"#pt_%d\"/>\r\n"
             "</ksj:AppearancePoint>\r\n<ksj:DisappearancePoint gml:id=\"end_%d\">\r\n"
             "<ksj:position xlink:href=\"#pt_%d\"/>\r\n</ksj:DisappearancePoint>\r\n",
             k, 2 * k - 1, k, 2 * k);
       for (int k = 1; k <= n; ++k)
         w.put(
             "<ksj:Gust gml:id=\"gu%d\">\r\n<ksj:appearancePoint xlink:href=\"#start_%d\"/>\r\n"
             "<ksj:fujitaScale>F%d</ksj:fujitaScale>\r\n</ksj:Gust>\r\n",
             k, k, k % 4);
     }},
    {"C28-bench.xml", "C28-", mlit::kAirportPoints,
     [](Writer& w, Random& r) {
       char id[32];
       for (int n = 1; n < 500; ++n) {
         std::snprintf(id, sizeof id, "pt_h_%d", n);
         w.point(id, r.lat(r.engine), r.lon(r.engine));
       }
       w.put("<!--地物-->\r\n");
       for (int n = 1; n < 500; ++n)
         w.put(
             "<ksj:AirportReferencePoint gml:id=\"%d\">\r\n<ksj:position xlink:href=\"#pt_h_%d\"/>\r\n"
             "</ksj:AirportReferencePoint>\r\n",
             n, 500 - n);
       for (int n = 1; n < 500; ++n)
         w.put("<ksj:Airport gml:id=\"%d_ap\">\r\n<ksj:airportName>airport%d</ksj:airportName>\r\n</ksj:Airport>\r\n",
               n, n);
     }},
};

fs::path& folder() {
  static fs::path f = fs::temp_directory_path() / ("terralinea-mlit-bench-" + std::to_string(::getpid()));
  return f;
}

fs::path generated(const Family& family) {
  const fs::path file = folder() / family.name;
  if (!fs::exists(file)) {
    fs::create_directories(folder());
    Random r;
    Writer w(file, family.encoding);
    family.write(w, r);
  }
  return file;
}

void readerBench(benchmark::State& state, const Family& family) {
  const fs::path file = generated(family);
  settings::DrawingSettings s;
  if (!settings::loadItemFiles(fs::path(TERRALINEA_SOURCE_DIR) / "data", s).complete) {
    state.SkipWithError("item files not found");
    return;
  }
  std::size_t index = 0;
  while (index < s.mlitLayers.size() && s.mlitLayers[index].key != family.key) ++index;
  for (auto& m : s.mlitLayers) m.on = m.key.starts_with("A29-");
  settings::RunValues v;
  geo::PlaneCoordinates c;
  c.selectSystem(2);
  c.unitsPerMetre = v.unitsPerMetre = 1000;
  v.sheetHeight = 7000;
  NullHost host;
  sheet::RunContext ctx(s, v, c, host);
  ctx.pointBuffer.assign(settings::kDefaultBufferCells, geo::PointPair{0, 0});
  ctx.sheetWest = ctx.sheetSouth = -1e12;
  ctx.sheetEast = ctx.sheetNorth = 1e12;
  const fs::path out = folder() / "out.dxf";
  long long entities = 0;
  for (auto _ : state) {
    dxfio::FileSink sink;
    sink.open(out);
    dxfio::DxfWriter writer(sink, sheet::kFirstProducerHandle);
    sheet::EntityWriter entityWriter(writer, s.flavour());
    mlit::MlitReaders readers(ctx, entityWriter);
    readers.setItem(index);
    readers.readFile(file, family.bits);
    entities = readers.entitiesWritten();
    sink.close();
    sink.commit();
    if (!ctx.anomalyMessage.empty()) state.SkipWithError(ctx.anomalyMessage.c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(fs::file_size(file)));
  state.counters["inMB"] = static_cast<double>(fs::file_size(file)) / 1e6;
  state.counters["entities"] = static_cast<double>(entities);
  state.counters["outMB"] = static_cast<double>(fs::file_size(out)) / 1e6;
}

void BM_mlitLines(benchmark::State& s) { readerBench(s, kFamilies[0]); }
void BM_mlitAreas(benchmark::State& s) { readerBench(s, kFamilies[1]); }
void BM_mlitZoningAreas(benchmark::State& s) { readerBench(s, kFamilies[2]); }
void BM_mlitDepthAreas_A31(benchmark::State& s) { readerBench(s, kFamilies[3]); }
void BM_mlitDepthAreas_A26(benchmark::State& s) { readerBench(s, kFamilies[4]); }
void BM_mlitAreaLabels(benchmark::State& s) { readerBench(s, kFamilies[5]); }
void BM_mlitPointLabels(benchmark::State& s) { readerBench(s, kFamilies[6]); }
void BM_mlitTornadoTracks(benchmark::State& s) { readerBench(s, kFamilies[7]); }
void BM_mlitAirportPoints(benchmark::State& s) { readerBench(s, kFamilies[8]); }

}  // namespace

BENCHMARK(BM_mlitLines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitAreas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitZoningAreas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitDepthAreas_A31)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitDepthAreas_A26)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitAreaLabels)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitPointLabels)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitTornadoTracks)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_mlitAirportPoints)->Unit(benchmark::kMillisecond)->MinTime(1);

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--generate") {
    folder() = argv[2];
    for (const auto& family : kFamilies) std::printf("%s\n", generated(family).c_str());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(folder(), ec);
  return 0;
}
