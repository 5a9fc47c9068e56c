#pragma once
// The line map of the area picker: the administrative boundaries of the data folder, and
// on request its road edges, read into the shared point buffer. Each polyline takes one
// header pair (number of points, display level) followed by its points: boundary points
// as (longitude, latitude), road points as plane (Y, X). No GL here: the lists are drawn
// by picker/gl.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/point_pair.h"
#include "converter/gml/coordinate_lists.h"

namespace geo {
class PlaneCoordinates;
}

namespace picker {

inline constexpr int kOtherLevel = 5;  // "その他", and any type not in the list
inline constexpr int kRoadLevel = 6;   // "道路"
inline constexpr int kLevelCount = 7;

// Display level 0..5 of a type text: the entry of the level list whose start the text's
// first occurrence in the list is. Area types without the final "界" find their entry too.
int displayLevel(std::string_view type);

// The map's files in the folder and all its subfolders, in the file system's order.
struct MapFiles {
  std::vector<std::filesystem::path> areas, boundaries, roads;
  // The area files, or the boundary files when there are no area files.
  const std::vector<std::filesystem::path>& boundaryFiles() const { return areas.empty() ? boundaries : areas; }
};
MapFiles listFiles(const std::string& fgdFolder);

// A plane rectangle in drawing units: Y of the left and right edges, X of bottom and top.
struct PlaneRect {
  double left, right, bottom, top;
};

// The plane rectangle spanned by a longitude/latitude box's south-west and north-east corners.
PlaneRect cornerRect(const gml::Box& box, geo::PlaneCoordinates& coordinates);

// How a load ended; a message to show unless `loaded`.
struct LoadEnd {
  enum class Kind { loaded, storeFull, failed } kind = Kind::loaded;
  std::string caption, text;
  bool loaded() const { return kind == Kind::loaded; }
};

class BoundaryMap {
 public:
  // The store's size is its capacity (the point buffer of a run).
  explicit BoundaryMap(std::vector<geo::PointPair>& store) : store_(store) {}

  // Lets pending window messages run during long loads.
  using Pump = std::function<void()>;
  // Road files done of all, after each file.
  using Progress = std::function<void(int done, int total)>;

  // Empties the store and the data box, then reads the boundary files. A full store
  // drops the polyline being read and leaves the polylines before it.
  LoadEnd loadBoundaries(const std::vector<std::filesystem::path>& files, const Pump& pump = {});
  // Reads into the store, in plane coordinates, the road polylines that overlap `view`
  // widened by half its size on every side, from the files whose mesh codes it touches.
  LoadEnd loadRoads(const std::vector<std::filesystem::path>& files, geo::PlaneCoordinates& coordinates,
                    const PlaneRect& view, const Progress& progress = {}, const Pump& pump = {});

  // Longitude/latitude box of the boundary points.
  const gml::Box& dataBox() const { return dataBox_; }
  std::size_t used() const { return used_; }
  const geo::PointPair* data() const { return store_.data(); }

  // f(level, points, count) for every polyline in store order.
  template <typename F>
  void forEachPolyline(F&& f) const {
    for (std::size_t at = 0; at < used_;) {
      const std::size_t n = gml::countedListSize(store_.data(), at, used_);
      f(static_cast<int>(store_[at].y), store_.data() + at + 1, n);
      at += n + 1;
    }
  }

 private:
  std::vector<geo::PointPair>& store_;
  std::size_t used_ = 0;
  gml::Box dataBox_;
};

// The pieces of a boundary polyline that are drawn, as (first point, point count): every
// segment joining two points on the data's tile cuts is left out, since the neighbouring
// file's outline runs there too.
struct Piece {
  std::size_t first, count;
};
std::vector<Piece> drawnPieces(const geo::PointPair* points, std::size_t count);

// The second-level mesh codes ("%.2d%.2d%.1d%.1d") of the cells a latitude/longitude box
// touches, as road file names spell them after "-GML-".
std::vector<std::string> secondLevelCodes(double west, double east, double south, double north);

}  // namespace picker
