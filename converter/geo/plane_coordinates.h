#pragma once
// Latitude/longitude (JGD2000/JGD2011, GRS80) to and from the 19 Japanese plane
// rectangular coordinate systems: a Gauss-Krueger series forward, a fixed-point
// iteration on it backwards. X is northing, Y easting, both in drawing units.
#include <array>
#include <cstddef>

#include "converter/geo/point_pair.h"

namespace geo {

struct SystemOrigin {
  double longitude;  // degrees
  double latitude;   // degrees
};
// Rows 1..19 are the systems; row 20 (135, 37) is reached by no selection; row 0 unused.
extern const std::array<SystemOrigin, 21> kSystemOrigins;

// What the forward series takes from the latitude alone (extended precision), for points
// that share a latitude.
struct LatitudeTerms {
  long double arc = 0;  // S(φ) − S(φ0), metres
  long double cosine = 0, tangent = 0;
  long double eta2 = 0;    // e'² cos² φ
  long double radius = 0;  // N, the prime vertical radius of curvature
};

struct SineCache;

class PlaneCoordinates {
 public:
  PlaneCoordinates();  // calls initialiseEllipsoid

  void initialiseEllipsoid();
  // System 1..19; false (origin unchanged) for any other number.
  bool selectSystem(int systemNumber);

  // kdo longitude, ido latitude in degrees; writes planeX, planeY.
  void bltoxy(double kdo, double ido);
  // bltoxy for each pair (x longitude, y latitude) into (x easting, y northing), the same
  // values; for lists, where one point's sine is taken while the previous point's series
  // runs. The slots hold the last point afterwards.
  void bltoxyList(const PointPair* lonLat, std::size_t n, PointPair* eastNorth);
  // The same for a point at the latitude `terms` were computed for.
  LatitudeTerms latitudeTerms(double ido) const;
  void bltoxy(double kdo, const LatitudeTerms& terms);
  // yy easting, xx northing in drawing units; writes lastLatitude, lastLongitude
  // (degrees), starting from their previous values. Returns false when the iteration
  // did not reach the tolerance within the step limit (the slots then hold the last
  // estimate).
  bool xytobl(double yy, double xx);

  double meridianArc(double phi) const;  // S(phi), metres, phi in radians

  // Whether `other` converts exactly as this (the same ellipsoid, system, units and
  // corrections): values converted by one may stand for the other's.
  bool convertsLike(const PlaneCoordinates& other) const;

  // Start-up constants.
  double scaleFactor = 0.9999;
  double semiMajorAxis = 6378137.0;
  double flattening = 0.003352810681182319;
  double eccentricity = 0;
  double secondEccentricity = 0;
  std::array<double, 9> arcCoefficients{};
  double polarRadius = 0;

  // Chosen system.
  double originLatitude = 0;   // radians
  double originLongitude = 0;  // radians
  double originArc = 0;        // metres

  // Run preparation.
  int unitsPerMetre = 1000;
  double eastWestCorrection = 0;
  double northSouthCorrection = 0;

  // Result slots.
  double planeX = 0, planeY = 0;
  double lastLatitude = 0, lastLongitude = 0;
  int lastIterations = 0;  // steps the last xytobl took

  static constexpr int kMaxIterations = 1000;

  // bltoxyList's cache of sines, made on its first call; a copy starts without one (so
  // copies handed to other threads share nothing).
  // A plain pointer keeps the class standard-layout, which the x87 code's offsets need.
  struct SineCacheHolder {
    SineCache* cache = nullptr;
    SineCacheHolder() = default;
    SineCacheHolder(const SineCacheHolder&) {}
    SineCacheHolder& operator=(const SineCacheHolder&) { return *this; }
    ~SineCacheHolder();
  } sines;
};

}  // namespace geo
