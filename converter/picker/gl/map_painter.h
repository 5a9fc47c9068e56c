#pragma once
// The area picker's map in OpenGL 1.1: the display lists of the boundary map and the roads,
// the digit lists of the mesh codes, and one frame of the view. Every call needs the
// picker's context current; no window here.
//
// The map is drawn level by level from the chosen one down to 0, each in its colour, so
// every line ends in the colour of its own level, lower levels on top. Each level's lines
// are held once (not again in every higher level), cut into 10 km tiles so that a view
// calls only the tiles it shows, and each tile also in two thinned copies (points 16 m and
// 128 m apart) for views in which they move no point by more than about two pixels: a
// redraw of a large folder stays quick at any zoom.
#include <array>
#include <vector>

#include "converter/picker/area_editor.h"
#include "converter/picker/boundary_map.h"
#include "converter/picker/mesh_overlay.h"

namespace geo {
class PlaneCoordinates;
}

namespace picker {

// One glyph for a raster digit list: 1 bit a pixel, rows from the bottom, each row padded
// to whole bytes, drawn with its origin at the baseline's left end.
struct DigitBitmap {
  int width = 0, height = 0;
  float advance = 0;
  std::vector<unsigned char> bits;
};

Rgb levelColour(int level);

class MapPainter {
 public:
  MapPainter() = default;
  MapPainter(const MapPainter&) = delete;
  MapPainter& operator=(const MapPainter&) = delete;

  // Levels 0..5 from the boundary polylines (plane points through `coordinates`, pieces
  // along the data's tile cuts left out); the roads emptied.
  void compileBoundaries(const BoundaryMap& map, geo::PlaneCoordinates& coordinates);
  // The roads from the road polylines (already plane).
  void compileRoads(const BoundaryMap& map, double unitsPerMetre);
  void buildDigits(const std::array<DigitBitmap, 10>& digits);
  // Deletes the lists; the context must still be current.
  void release();

  struct Frame {
    PlaneRect view;
    int width = 1, height = 1;  // pixels
    bool hasMap = true;         // boundary files were found
    int level = kOtherLevel;
    std::vector<Stroke> strokes;         // grid, outline, cross sections
    const MeshOverlay* overlay = nullptr;  // while the right button is held
  };
  void draw(const Frame& frame) const;

 private:
  static constexpr int kDetails = 3;  // all points, then thinned to 16 m and to 128 m
  struct Batch {
    int level;
    PlaneRect box;
    unsigned lists;  // kDetails lists, all points first
  };
  struct Line {
    int level;
    std::size_t first, count;
  };
  void compile(const std::vector<geo::PointPair>& points, const std::vector<Line>& lines, double unitsPerMetre);
  void deleteBatches(bool roads);

  std::vector<Batch> batches_;
  double tolerances_[kDetails] = {0, 16, 128};  // drawing units once compiled
  unsigned digits_ = 0;  // ten lists, "0" first
};

}  // namespace picker
