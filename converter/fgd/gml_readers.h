#pragma once
// The eleven readers of Fundamental Geospatial Data and Basic National Geographic
// Information GML files. Each reads one file, writes its entities to the open sheet and
// reports problems in anomalyMessage; none throws to its caller.
#include <filesystem>
#include <string>
#include <vector>

#include "converter/sheet/run_context.h"

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
  kName = 1, kElevationPoint = 2, kControlPoint = 4, kAnnotation = 8, kSymbol = 16,
  kMeshLine = 32, kRoad = 64, kRail = 128, kVisibleLine = 256, kAreaEdge = 512, kAreaFill = 1024,
};

class GmlReaders {
 public:
  GmlReaders(sheet::RunContext& context, const GroupState& group);

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
  struct AreaFeature;
  template <typename Body>
  void guarded(const char* name, const std::filesystem::path& file, bool withLists, Body body);

  int route(std::string_view category) const;
  double sizeFactor(std::size_t item) const;
  const std::string& layer(std::size_t item) const;
  const std::string& option(std::size_t item) const;
  void position(double latitude, double longitude, double& x, double& y);
  bool insideSheet(double x, double y) const;
  bool boxOverlaps(double minLon, double minLat, double maxLon, double maxLat);
  void head(std::string_view type, std::string_view layer, std::string_view subclass);
  void mtextHead(std::string_view layer);
  // An INSERT of a library block at plane (x, y) and height z, scaled by the item's factor.
  void insertBlock(std::string_view block, std::string_view layer, double x, double y, double z, double s);
  // The height label beside a point symbol, as TEXT (first and alignment point) or MTEXT.
  void heightText(std::string_view layer, double firstY, double firstX, double alignY, double alignX, double z,
                  double height, std::string_view text);
  void heightMText(std::string_view layer, double y, double x, double z, double height, std::string_view text);
  // The item of an area feature that passes the item, rank and window tests and whose outer
  // ring, converted into ringX_/ringY_ (`vertices` pairs), is longer than minPerimeter; -1
  // when the feature is not drawn.
  int outerRing(const AreaFeature& f, double minPerimeter, std::size_t& vertices);
  std::string inlineFont(std::string_view pitch, bool vertical = false) const;
  void listDone(long long& lists);
  void polyline(std::string_view layer, const geo::PointPair* pairs, std::size_t m, int extra, double extraValue);
  static bool onMeshLine(const geo::PointPair& p);

  sheet::RunContext& ctx_;
  const GroupState& group_;
  dxfio::DxfWriter* out_ = nullptr;
  double u_ = 1000;
  int flavour_ = 0;
  std::string font_;
  double symbolScale_ = 1;
  int rank_ = 0;
  long long entities_ = 0, vertices_ = 0, lineFeatures_ = 0;
  long long lists_ = 0;  // coordinate lists of the current file, for "posi="
  std::string dataName_;
  std::vector<double> ringX_, ringY_;
};

}  // namespace fgd
