#pragma once
// The standard area mesh shown over the picker's map while the right button is held:
// meridians and parallels of the level that suits the visible height, following the
// projection, and the code of every cell at its south-west corner.
#include <string>
#include <vector>

#include "converter/geo/point_pair.h"
#include "converter/gml/coordinate_lists.h"
#include "converter/picker/area_editor.h"
#include "converter/picker/boundary_map.h"

namespace geo {
class PlaneCoordinates;
}

namespace picker {

struct MeshLevel {
  int digits;
  double longitudeStep, latitudeStep;  // degrees
};
// First level above 120 km of visible height, second above 11 km, else third.
MeshLevel meshLevelFor(double visibleHeightMetres);

// The code of the cell whose south-west corner is (latitude, longitude), `digits` long.
std::string meshCode(double latitude, double longitude, int digits);
// Colour of a grid line or code by its index in eighths of a tenth of a degree (longitude
// × 80) or in 120ths (latitude × 120): blue on whole degrees, cyan every tenth line.
Rgb meshColour(long long index);

// The data box widened to whole first-level cells (whole degrees, multiples of 40′).
gml::Box firstLevelBox(const gml::Box& dataBox);

struct MeshLabel {
  geo::PointPair at;  // plane (Y, X) of the cell's south-west corner
  std::string code;
  Rgb colour;
};
struct MeshOverlay {
  std::vector<std::vector<geo::PointPair>> lines;  // plane polylines
  std::vector<Rgb> lineColours;
  std::vector<MeshLabel> labels;
};
// The overlay over `view`, cut to `box` (the first-level box of the data).
MeshOverlay meshOverlay(const PlaneRect& view, int unitsPerMetre, const gml::Box& box,
                        geo::PlaneCoordinates& coordinates);

}  // namespace picker
