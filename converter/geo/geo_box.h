#pragma once
// A latitude/longitude box, and the box of a plane rectangle.
namespace geo {

class PlaneCoordinates;

struct GeoBox {  // degrees
  double west = 0, east = 0, south = 0, north = 0;
};

// Latitude/longitude box of a plane rectangle (drawing units): its corners, and the
// middle of the northern edge when the rectangle straddles the central meridian.
// False when a point does not convert.
bool sheetGeoBox(geo::PlaneCoordinates& coordinates, double west, double east, double south, double north,
                 GeoBox& box);

}  // namespace geo
