#pragma once
// The eight readers of National Land Numerical Information files. The files differ from
// data set to data set; the readers find identifiers, coordinates and values through the
// marker texts of the item being read. Each reads one file, writes its entities to the
// open sheet and reports problems in anomalyMessage; none throws to its caller.
//
// One class, one file per reader family: mlit_readers.cpp (item values, the guard, the
// shared entity forms), label_readers.cpp (point labels, airports, tornadoes, area
// labels), line_area_readers.cpp (lines, land use zones, depth-coloured areas, areas).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter/gml/coordinate_lists.h"
#include "converter/gml/line_scanner.h"
#include "converter/settings/layer_tree.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace mlit {

// Reader bits of an item's readerMask and of the pass masks.
enum ReaderBit : int {
  kPointLabels = 1,
  kAirportPoints = 2,
  kLines = 4,
  kTornadoTracks = 8,
  kZoningAreas = 16,
  kDepthAreas = 32,
  kAreas = 64,
  kAreaLabels = 128,
};

class ForwardStream;

class MlitReaders {
 public:
  MlitReaders(sheet::RunContext& context, sheet::EntityWriter& out);

  // The item whose files are read next: the data name (its caption, also the layer), its
  // index in mlitLayers and its size factor.
  void setItem(std::size_t index);

  void mlitPointLabels(const std::filesystem::path& file, std::size_t item);
  void mlitAirportPoints(const std::filesystem::path& file);
  void mlitLines(const std::filesystem::path& file);
  void mlitTornadoTracks(const std::filesystem::path& file);
  void mlitZoningAreas(const std::filesystem::path& file, std::size_t item);
  void mlitDepthAreas(const std::filesystem::path& file, std::size_t item);
  void mlitAreas(const std::filesystem::path& file, std::size_t item);
  void mlitAreaLabels(const std::filesystem::path& file, std::size_t item);

  // Calls every reader whose bit is in `bits`, texts and areas first (128 down to 1).
  void readFile(const std::filesystem::path& file, int bits);

  // Entities written since the readers were made (tests, benchmarks).
  long long entitiesWritten() const { return out_.entityCount() - entitiesAtStart_; }

 private:
  // How a reader describes where it failed: appended after the file path.
  struct Failure {
    std::string prefix = "mlitjpgis(";
    std::function<std::string()> detail;  // asked only when the reader failed
    std::string suffix = ")で異常";
  };
  template <typename Body>
  void guarded(const std::filesystem::path& file, Failure& failure, Body body);

  const settings::MlitLayerEntry& item() const;
  const std::string& name() const { return dataName_; }
  double capacity() const { return static_cast<double>(ctx_.pointBuffer.size()); }
  geo::PointPair& slot(std::size_t at);
  // Counts a line or list; every `every` shows the count and, with `cancel`, lets the user
  // stop the run.
  void tick(long long count, long long every, bool cancel);
  void plane(double latitude, double longitude, double& x, double& y);
  bool insideSheet(double x, double y) const;
  bool boxOverlaps(const gml::Box& box);
  std::span<const dxfio::Vertex> planeVertices(const geo::PointPair* pairs, std::size_t n, bool repeatFirst = false);
  // TEXT at plane (x + dy, y).
  void label(double x, double y, double dy, double height, std::string_view value);
  void partMissing(const std::filesystem::path& file);

  // Land use zones: the item index of each zone code, -1 for none.
  int zoneItem(double zoneCode) const;
  // An area of rings collected in the point buffer from `from`: per ring a header slot
  // (point count, ring number) and its points.
  struct Rings {
    std::size_t from = 0, used = 0;
    long long count = 0;
  };
  void readAreas(const std::filesystem::path& file, std::size_t index, bool byDepth);
  void writeArea(const std::string& layer, const Rings& rings, bool repeatFirst,
                 const std::optional<geo::Colour>& colour = std::nullopt, double elevation = 0);
  double depthColourValue(double d) const;
  std::string depthReference(long long area) const;
  double depthOf(ForwardStream& attributes, long long area);

  sheet::RunContext& ctx_;
  sheet::EntityWriter& out_;
  long long entitiesAtStart_ = 0;
  double u_ = 1000;
  double symbolScale_ = 1;
  std::size_t itemIndex_ = 0;
  std::string dataName_;
  double s_ = 1;  // size factor of the item
  std::vector<dxfio::Vertex> scratch_;
  std::vector<geo::PointPair> planePairs_;  // bltoxyList's output, copied into scratch_
};

// A text stream over a file that only moves forward and can hold the line it stopped at,
// so that the line a search found is read again by the step that follows.
class ForwardStream {
 public:
  explicit ForwardStream(const std::filesystem::path& file) : in_(file) {}
  bool next(std::string_view& line);
  // Advances to the first line containing `marker` and holds it; false at the end.
  bool seek(std::string_view marker);
  std::int64_t lineNumber() const { return in_.lineNumber(); }

 private:
  gml::LineScanner in_;
  std::string_view line_;
  bool held_ = false;
};

// The next line of a scanner; the view is emptied first so that a failed read never
// leaves a stale view behind for the failure detail.
inline bool nextLine(gml::LineScanner& in, std::string_view& line) {
  line = {};
  return in.next(line);
}

}  // namespace mlit
