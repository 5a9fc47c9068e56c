#pragma once
// The area picker's map in OpenGL 1.1: the seven display lists of the boundary map (list k
// holds the boundaries of level k and below, list 6 the roads), the digit lists of the
// mesh codes, and one frame of the view. Every call needs the picker's context current;
// no window here.
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

  // Lists 0..5 from the boundary polylines (plane points through `coordinates`, pieces
  // along the data's tile cuts left out); list 6 emptied.
  void compileBoundaries(const BoundaryMap& map, geo::PlaneCoordinates& coordinates);
  // List 6 from the road polylines (already plane).
  void compileRoads(const BoundaryMap& map);
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
  void ensureLists();
  unsigned lists_ = 0;   // kLevelCount lists
  unsigned digits_ = 0;  // ten lists, "0" first
};

}  // namespace picker
