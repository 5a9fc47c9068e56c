#pragma once
// What the fuzz targets share. The readers take paths, so each input is written to a file
// in a folder of the process; inputs of the dispatched readers start with the file name
// line, because the dispatchers choose groups, items and readers by the name.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench/null_host.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/sink.h"

namespace fuzz {

// The folder of this process under the temporary folder (made on first use, removed at exit).
const std::filesystem::path& inputFolder();

// Writes `bytes` as `name` in `folder` (the input folder by default) and returns its path.
std::filesystem::path writeInput(std::string_view name, std::string_view bytes,
                                 const std::filesystem::path& folder = inputFolder());

// "NAME\nBYTES": the first line (at most 80 bytes, no "/" or NUL) names the file, the rest
// is its content. An input without a usable name gets `fallback`.
struct NamedInput {
  std::string name;
  std::string_view bytes;
};
NamedInput splitName(const std::uint8_t* data, std::size_t size, std::string_view fallback);

// The shipped item files and standard settings, as the program finds them beside itself.
std::filesystem::path shippedData();

// Settings with the shipped item files loaded and every item and data set on, made once.
const settings::DrawingSettings& itemSettings();

// Counts the groups instead of writing them; the numbers are still spelled.
class NullSink final : public dxfio::Sink {
 public:
  void pair(int, std::string_view value) override { bytes += value.size(); }
  void markHandleSeed() override {}
  std::size_t bytes = 0;
};

// A run context over plane system II with a sheet that holds everything, an open sheet
// that writes nowhere, and a host that shows nothing.
struct ReaderRun {
  explicit ReaderRun(const settings::DrawingSettings& prototype, std::size_t bufferPairs = 1 << 16);
  // Makes `source` the active elevation source and binds a grid of its cells, every cell
  // missing, from the north-west corner (west, north).
  void elevationGrid(int source, double west, double north, int columns, int rows);
  settings::DrawingSettings settings;
  settings::RunValues values;
  geo::PlaneCoordinates coords;
  NullHost host;
  sheet::RunContext ctx{settings, values, coords, host};
  NullSink sink;
  dxfio::DxfWriter dxf{sink, sheet::kFirstProducerHandle};
  sheet::EntityWriter out{dxf, geo::Flavour::trueColour};
};

}  // namespace fuzz
