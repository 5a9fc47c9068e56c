#pragma once
// A run context over the shipped item list with an open entity sheet, for the readers of
// National Land Numerical Information files and their fixtures.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "converter/geo/plane_coordinates.h"
#include "converter/mlit/mlit_readers.h"
#include "converter/settings/item_files.h"
#include "converter/sheet/run_context.h"
#include "dxfio/dxf_writer.h"
#include "tests/common/collected_sheet.h"
#include "tests/common/recording_host.h"
#include "tests/common/temp_folder.h"

inline std::filesystem::path fixture(const std::string& name) {
  return std::filesystem::path(TERRALINEA_TEST_DATA) / "mlit" / name;
}

class MlitHarness : public CollectedSheet {
 public:
  MlitHarness() : ctx(settings, values, coords, host) {
    EXPECT_TRUE(settings::loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", settings).complete);
    coords.selectSystem(2);
    values.unitsPerMetre = 1000;
    values.sheetHeight = 7000;
    coords.unitsPerMetre = 1000;
    ctx.pointBuffer.assign(1 << 16, geo::PointPair{7, 7});  // what an earlier reader left
    ctx.sheetWest = ctx.sheetSouth = -1e12;
    ctx.sheetEast = ctx.sheetNorth = 1e12;
  }

  std::size_t index(const std::string& key) const {
    for (std::size_t i = 0; i < settings.mlitLayers.size(); ++i)
      if (settings.mlitLayers[i].key == key) return i;
    ADD_FAILURE() << "no item " << key;
    return 0;
  }
  const std::string& layer(const std::string& key) const { return settings.mlitLayers[index(key)].caption; }

  // Runs the readers of `bits` of item `key` on `file` and returns the entities written.
  std::vector<Entity> read(const std::string& key, const std::filesystem::path& file, int bits) {
    clear();
    mlit::MlitReaders readers(ctx, out);
    readers.setItem(index(key));
    readers.readFile(file, bits);
    return entities();
  }
  // The same on a file of `bytes` named `name`.
  std::vector<Entity> readBytes(const std::string& key, const std::string& name, const std::string& bytes, int bits) {
    writeBytes(temp / name, bytes);
    return read(key, temp / name, bits);
  }

  // Plane (northing, easting) of a latitude/longitude.
  std::pair<double, double> xy(double lat, double lon) {
    coords.bltoxy(lon, lat);
    return {coords.planeX, coords.planeY};
  }

  TempFolder temp;
  settings::DrawingSettings settings;
  settings::RunValues values;
  geo::PlaneCoordinates coords;
  RecordingHost host;
  sheet::RunContext ctx;
};

inline std::string num(double v) { return dxfio::formatReal(v); }

// The entities of one type.
inline std::vector<Entity> ofType(const std::vector<Entity>& all, const std::string& type) {
  std::vector<Entity> out;
  for (const auto& e : all)
    if (e.type == type) out.push_back(e);
  return out;
}

// A file in the published layout, UTF-8, with the data family named on its eighth line.
inline std::string ksjFile(const std::string& body, const std::string& eighth = "国土数値情報 インスタンス文書") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ksj:Dataset gml:id=\"Dataset1\"\r\n x1\r\n x2\r\n x3\r\n "
         "x4\r\n x5>\r\n<gml:description>" +
         eighth + "</gml:description>\r\n" + body + "</ksj:Dataset>\r\n";
}
