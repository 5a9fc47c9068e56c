#pragma once
// The eleven readers of Fundamental Geospatial Data and Basic National Geographic
// Information GML files. Each reads one file, writes its entities to the open sheet and
// reports problems in anomalyMessage; none throws to its caller.
//
// One class, one file per reader family: gml_readers.cpp (routing, windows, the guard),
// point_readers.cpp (names, elevation and control points), annotation_reader.cpp,
// symbol_reader.cpp, line_readers.cpp, area_readers.cpp.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/flavour.h"
#include "converter/geo/geo_box.h"
#include "converter/gml/coordinate_lists.h"
#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"
#include "converter/sheet/shared_conversions.h"
#include "dxfio/dxf_writer.h"

namespace fgd {

// The working lists of the group being read: one entry per item that is on, in tree
// order, and the feature element of the group's files.
struct GroupState {
  std::vector<std::string> activeLayerNames, activeAttributeValues, activeOptions;
  std::vector<int> activeSizeIndexes;
  std::string featureElement, featureStartMarker, featureEndMarker;

  void setElement(const std::string& element) {
    featureElement = element;
    featureStartMarker = "<" + element;
    featureEndMarker = "</" + element + ">";
  }
};

// Reader bits of a group's code and of the pass masks.
enum ReaderBit : int {
  kName = 1,
  kElevationPoint = 2,
  kControlPoint = 4,
  kAnnotation = 8,
  kSymbol = 16,
  kMeshLine = 32,
  kRoad = 64,
  kRail = 128,
  kVisibleLine = 256,
  kAreaEdge = 512,
  kAreaFill = 1024,
};

class GmlReaders {
 public:
  GmlReaders(sheet::RunContext& context, const GroupState& group, sheet::EntityWriter& out);

  void GML1Name(const std::filesystem::path& file);
  void GML2Elv(const std::filesystem::path& file);
  void GML4GCP(const std::filesystem::path& file);
  void GML8LayoutStr(const std::filesystem::path& file);
  void GML16Symbol(const std::filesystem::path& file);
  void GML32Poly(const std::filesystem::path& file);
  void GML64Poly_Road(const std::filesystem::path& file);
  void GML128Poly_Rail(const std::filesystem::path& file);
  void GML256Poly(const std::filesystem::path& file);
  void GML512HatchEdge(const std::filesystem::path& file);
  void GML1024Hatch(const std::filesystem::path& file);

  // Calls, in bit order, every reader whose bit is in `bits`.
  void readFile(const std::filesystem::path& file, int bits);

  // Counters of the last file (tests, benchmarks).
  long long entitiesWritten() const { return entities_; }
  long long verticesWritten() const { return vertices_; }
  // Features of which GML32Poly wrote at least one piece.
  long long lineFeaturesWritten() const { return lineFeatures_; }

 private:
  // An area feature as the scan leaves it: its values and, in the point buffer, its lists.
  struct AreaFeature {
    std::string type, name;
    int level = 0;
    gml::Box box;
    std::size_t used = 0;
  };
  template <typename Body>
  void guarded(const char* name, const std::filesystem::path& file, bool withLists, Body body);

  int route(std::string_view category) const;
  double sizeFactor(std::size_t item) const;
  const std::string& layer(std::size_t item) const;
  const std::string& option(std::size_t item) const;
  // Plane x, y of a position; NaN (outside every sheet) for one off the file's mesh.
  void position(double latitude, double longitude, double& x, double& y);
  // False, told once per file, for a position farther off the mesh named by the file's
  // name than the published data ever overhangs (a latitude that lost a digit, 0, 400).
  bool onMesh(double latitude, double longitude);
  // A "<gml:pos>" on the line: taken off it and converted to plane x (northing), y.
  bool takePosition(gml::TagLine& line, double& x, double& y);
  bool insideSheet(double x, double y) const;
  bool boxOverlaps(const gml::Box& box);
  // The MTEXT font code that starts a text ("{\\fMS Gothic|b0|i0|c128|p18;").
  std::string inlineFont(std::string_view pitch, bool vertical = false) const;
  // Counts a finished coordinate list; every 10 000 lists lets the user stop the run.
  void listDone(long long& lists);
  // Whether the feature just read lies in the part of the file a helper has converted
  // (its lists reach back at most a few blocks from the line read last); tells the helper
  // how far this thread has come.
  bool behindHelper() {
    if (!share_) return false;
    const std::uint64_t at = in_->bytesRead();
    if (at > share_->drawerAt.load(std::memory_order_relaxed)) share_->drawerAt.store(at, std::memory_order_relaxed);
    const std::uint64_t from = share_->helperFrom.load(std::memory_order_acquire);
    return at >= from && (from == 0 || at - from >= kFeatureReach);
  }
  static constexpr std::uint64_t kFeatureReach = 64 * 1024;
  // Plane x (northing), y of a coordinate-list pair: looked up when `lookUp` and the helper
  // stored it, converted otherwise.
  void listPair(bool lookUp, double longitude, double latitude, double& x, double& y) {
    if (lookUp && shared_->find(longitude, latitude, x, y)) return;
    auto& c = ctx_.coordinates;
    c.bltoxy(longitude, latitude);
    x = c.planeX;
    y = c.planeY;
  }
  // Plane vertices of `m` longitude/latitude pairs, DXF x first, into `out`.
  void planeList(const geo::PointPair* pairs, std::size_t m, std::vector<dxfio::Vertex>& out);
  // The same in the reader's scratch list.
  std::span<const dxfio::Vertex> planeVertices(const geo::PointPair* pairs, std::size_t m);
  void polyline(std::string_view layer, const geo::PointPair* pairs, std::size_t m,
                const sheet::PolylineStyle& style = {});
  static bool onMeshLine(const geo::PointPair& p);
  // The insert of a library block at plane (x, y) and height z, scaled by the item's factor.
  void insertBlock(std::string_view block, std::string_view layer, double x, double y, double z, double s);
  // The height label beside a point symbol, as TEXT (first and alignment point) or MTEXT.
  void heightText(std::string_view layer, double firstY, double firstX, double alignY, double alignX, double z,
                  double height, std::string_view text);
  void heightMText(std::string_view layer, double y, double x, double z, double height, std::string_view text);
  // An annotation that passed its tests: plane position, angle (degrees) and size factor.
  struct Annotation {
    std::string_view layer;
    double x, y, angle, scale;
    std::string_view text;
  };
  double annotationWidth(const Annotation& n) const;
  void horizontalAnnotation(const Annotation& n);
  void verticalAnnotation(const Annotation& n);
  // The item of an area feature that passes the item, rank and window tests and whose outer
  // ring, converted into ring_, is longer than minPerimeter; -1 when it is not drawn.
  int outerRing(const AreaFeature& f, double minPerimeter);
  void areaScan(gml::LineScanner& in, AreaFeature& f, bool readName, auto featureEnd);

  sheet::RunContext& ctx_;
  const GroupState& group_;
  sheet::EntityWriter& out_;
  double u_ = 1000;
  geo::Flavour flavour_ = geo::Flavour::trueColour;
  std::string font_;
  double symbolScale_ = 1;
  int rank_ = 0;
  long long entities_ = 0, vertices_ = 0, lineFeatures_ = 0;
  long long lists_ = 0;  // coordinate lists of the current file, for "posi="
  std::string dataName_;
  const std::filesystem::path* file_ = nullptr;
  const gml::LineScanner* in_ = nullptr;  // of the file being read, for line numbers
  std::optional<geo::GeoBox> mesh_;
  bool offMeshTold_ = false;
  std::vector<dxfio::Vertex> ring_, scratch_;
  std::vector<geo::PointPair> planePairs_;  // bltoxyList's output, copied into scratch_
  // A helper's conversions of the sheet, and its share of the file being read (null without).
  sheet::SharedConversions* shared_ = nullptr;
  sheet::SharedConversions::FileShare* share_ = nullptr;
};

}  // namespace fgd
