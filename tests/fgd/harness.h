#pragma once
// A run context with an open entity file, a group of items, and the entities a reader
// wrote, read back as (code, value) pairs.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "converter/fgd/gml_readers.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "dxfio/collecting_sink.h"
#include "dxfio/dxf_writer.h"
#include "platform/text_codec.h"
#include "tests/common/collected_sheet.h"
#include "tests/common/recording_host.h"
#include "tests/common/temp_folder.h"

struct Item {
  std::string layer, value, option;
  int sizeIndex = 12;
};

class Harness : public CollectedSheet {
 public:
  Harness() : ctx(settings, values, coords, host) {
    coords.selectSystem(2);
    values.unitsPerMetre = 1000;
    coords.unitsPerMetre = 1000;
    ctx.pointBuffer.assign(1 << 16, geo::PointPair{0, 0});
    // A sheet that holds everything unless a test narrows it.
    ctx.sheetWest = ctx.sheetSouth = -1e12;
    ctx.sheetEast = ctx.sheetNorth = 1e12;
  }

  void group(const std::string& element, const std::vector<Item>& items) {
    state = fgd::GroupState();
    for (const auto& i : items) {
      state.activeLayerNames.push_back(i.layer);
      state.activeAttributeValues.push_back(i.value);
      state.activeOptions.push_back(i.option);
      state.activeSizeIndexes.push_back(i.sizeIndex);
    }
    state.setElement(element);
  }

  // Plane coordinates of a latitude/longitude, as the readers compute them.
  std::pair<double, double> xy(double lat, double lon) {
    coords.bltoxy(lon, lat);
    return {coords.planeX, coords.planeY};
  }

  // Writes `bytes` as `name`, runs `reader` on it and returns the entities written.
  std::vector<Entity> read(const std::string& bytes, void (fgd::GmlReaders::*reader)(const std::filesystem::path&),
                           const std::string& name = "FG-GML-503041-X-20181001-0001.xml") {
    const auto file = temp / name;
    writeBytes(file, bytes);
    return readFile([&](fgd::GmlReaders& r) { (r.*reader)(file); });
  }

  // Runs `call` with readers that write to a fresh collected sheet, `out`.
  std::vector<Entity> readFile(const std::function<void(fgd::GmlReaders&)>& call) {
    clear();
    fgd::GmlReaders readers(ctx, state, out);
    call(readers);
    return entities();
  }

  TempFolder temp;
  settings::DrawingSettings settings;
  settings::RunValues values;
  geo::PlaneCoordinates coords;
  RecordingHost host;
  sheet::RunContext ctx;
  fgd::GroupState state;
};

inline std::string num(double v) { return dxfio::formatReal(v); }

// A file in the published layout: declaration, dataset head, features, dataset end.
inline std::string dataset(const std::string& features) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
         "<Dataset\r\n"
         "\txmlns:gml=\"http://www.opengis.net/gml/3.2\"\r\n"
         "\tgml:id=\"Dataset1\">\r\n"
         "  <gml:description>基盤地図情報メタデータ ID=fmdid:18-1001</gml:description>\r\n"
         "  <gml:name>基盤地図情報ダウンロードデータ（GML版）</gml:name>\r\n" +
         features + "</Dataset>\r\n";
}

// A point feature: the elements before and after the position, each "<e>v</e>" line.
inline std::string pointFeature(const std::string& element, double lat, double lon, const std::string& before,
                                const std::string& after) {
  char pos[96];
  std::snprintf(pos, sizeof pos, "%.9f %.9f", lat, lon);
  return "<" + element + " gml:id=\"K1_1\">\r\n<fid>1</fid>\r\n" + before +
         "<pos>\r\n<gml:Point gml:id=\"K1_1-g\" srsName=\"fguuid:jgd2011.bl\">\r\n<gml:pos>" + pos +
         "</gml:pos>\r\n</gml:Point>\r\n</pos>\r\n" + after + "</" + element + ">\r\n";
}

// "lat lon" lines of a coordinate list.
inline std::string posList(const std::vector<std::pair<double, double>>& points) {
  std::string out = "<gml:posList>\r\n";
  char buf[96];
  for (const auto& [lat, lon] : points) {
    std::snprintf(buf, sizeof buf, "%.9f %.9f\r\n", lat, lon);
    out += buf;
  }
  return out + "</gml:posList>\r\n";
}

inline std::string curveFeature(const std::string& element, const std::vector<std::pair<double, double>>& points,
                                const std::string& before, const std::string& after) {
  return "<" + element + " gml:id=\"K19_1\">\r\n<fid>1</fid>\r\n" + before +
         "<loc>\r\n<gml:Curve gml:id=\"K19_1-g\" "
         "srsName=\"fguuid:jgd2011.bl\">\r\n<gml:segments>\r\n<gml:LineStringSegment>\r\n" +
         posList(points) + "</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n</loc>\r\n" + after + "</" +
         element + ">\r\n";
}

inline std::string ring(const std::vector<std::pair<double, double>>& points) {
  return "<gml:Ring>\r\n<gml:curveMember>\r\n<gml:Curve "
         "gml:id=\"K17_1-3\">\r\n<gml:segments>\r\n<gml:LineStringSegment>\r\n" +
         posList(points) +
         "</gml:LineStringSegment>\r\n</gml:segments>\r\n</gml:Curve>\r\n</gml:curveMember>\r\n</gml:Ring>\r\n";
}

inline std::string surfaceFeature(const std::string& element, const std::vector<std::pair<double, double>>& exterior,
                                  const std::vector<std::vector<std::pair<double, double>>>& holes,
                                  const std::string& before, const std::string& after) {
  std::string s = "<" + element + " gml:id=\"K17_1\">\r\n<fid>1</fid>\r\n" + before +
                  "<area>\r\n<gml:Surface gml:id=\"K17_1-g\" "
                  "srsName=\"fguuid:jgd2011.bl\">\r\n<gml:patches>\r\n<gml:PolygonPatch>\r\n<gml:exterior>\r\n" +
                  ring(exterior) + "</gml:exterior>\r\n";
  for (const auto& h : holes) s += "<gml:interior>\r\n" + ring(h) + "</gml:interior>\r\n";
  return s + "</gml:PolygonPatch>\r\n</gml:patches>\r\n</gml:Surface>\r\n</area>\r\n" + after + "</" + element +
         ">\r\n";
}

// About `bytes` of road edges or buildings on mesh 503041 (Genkai island), a few to twenty
// pairs a feature, one pair a line: enough for a helper to convert ahead.
inline std::string denseFgdFile(bool areas, std::size_t bytes) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(33.67, 33.745), lon(130.13, 130.245), step(-1e-4, 1e-4);
  std::string features;
  for (int i = 0; features.size() < bytes; ++i) {
    std::vector<std::pair<double, double>> points;
    double la = lat(random), lo = lon(random);
    const int n = 3 + i % 17;
    for (int k = 0; k < n; ++k) {
      points.emplace_back(la, lo);
      la += step(random);
      lo += step(random);
    }
    if (areas) {
      points.push_back(points.front());
      features += surfaceFeature("BldA", points, {}, "<orgGILvl>2500</orgGILvl>\r\n", "<type>普通建物</type>\r\n");
    } else {
      features += curveFeature("RdEdg", points, "<orgGILvl>2500</orgGILvl>\r\n", "<type>真幅道路</type>\r\n");
    }
  }
  return dataset(features);
}
