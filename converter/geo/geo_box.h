#pragma once
// A latitude/longitude box, and the box of a plane rectangle.
namespace geo {

class PlaneCoordinates;

struct GeoBox {  // degrees
  double west = 0, east = 0, south = 0, north = 0;
};

// Which points of a plane rectangle make its box. Each point is converted starting from
// the result of the one before, so the order of the points is part of the result too.
struct BoxSampling {
  enum class Corners {
    // South-west, north-east, north-west, south-east; a corner widens only the edges it lies on.
    diagonalsFirst,
    // South-west, north-west, north-east, south-east; every corner widens every edge.
    around,
  };
  // The northern edge bulges beyond its corners where it crosses the central meridian.
  enum class NorthernEdge {
    cornersOnly,
    middleAcrossMeridian,  // its middle, when the central meridian runs between its corners
    quarterPoints,         // its quarter, middle and three-quarter points, always
  };
  Corners corners = Corners::diagonalsFirst;
  NorthernEdge northernEdge = NorthernEdge::middleAcrossMeridian;
  // False: a point that does not convert still counts, with the estimate it stopped at.
  bool stopAtFailure = true;
};

// Latitude/longitude box of a plane rectangle (drawing units), starting from an empty box
// (west and south 1e308, east and north -1e308). False when a point does not convert;
// when the sampling stops there, the box holds the points converted before it.
bool sheetGeoBox(geo::PlaneCoordinates& coordinates, double west, double east, double south, double north, GeoBox& box,
                 const BoxSampling& sampling = {});

// A latitude/longitude box every point of which converts to a point inside the plane
// rectangle (drawing units), with room to spare; false when the rectangle is empty or its
// edges do not convert back. `coordinates` is not changed (the inverse conversion starts
// where the last one ended, so it works on a copy).
bool innerGeoBox(const geo::PlaneCoordinates& coordinates, double west, double east, double south, double north,
                 GeoBox& box);

}  // namespace geo
