#include "converter/geo/plane_coordinates.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "tests/geo/plane_coordinates_reference.h"

namespace {

using geo::kSystemOrigins;
using geo::PlaneCoordinates;
using geo_test::kReferencePoints;
using geo_test::ReferencePoint;

constexpr double kPi = std::numbers::pi;

// Ground distance in metres between two nearby points (equatorial degree length; a few
// tenths of a percent too long, which only makes the checks stricter).
double groundDistance(double lat1, double lon1, double lat2, double lon2) {
  const double dLat = lat1 - lat2;
  const double dLon = (lon1 - lon2) * std::cos(lat1 * kPi / 180.0);
  return std::hypot(dLat, dLon) * 111319.49;
}

TEST(PlaneCoordinates, OriginGivesTheCorrectionsExactly) {
  struct Case {
    int system;
    int unitsPerMetre;
    double eastWest, northSouth;
  };
  const Case cases[] = {
      {1, 1, 0, 0},         {9, 1000, 0, 0},      {3, 1000, 1234.5, -987.25},
      {13, 100, -0.125, 7}, {18, 1, 250000, 1e6}, {19, 1000, -3.5, 4.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.system);
    PlaneCoordinates pc;
    pc.unitsPerMetre = c.unitsPerMetre;
    pc.eastWestCorrection = c.eastWest;
    pc.northSouthCorrection = c.northSouth;
    ASSERT_TRUE(pc.selectSystem(c.system));
    pc.bltoxy(kSystemOrigins[c.system].longitude, kSystemOrigins[c.system].latitude);
    EXPECT_EQ(pc.planeX, c.northSouth);
    EXPECT_EQ(pc.planeY, c.eastWest);
  }
}

TEST(PlaneCoordinates, OneDegreeNorthOfSystem9OriginScalesWithTheUnit) {
  PlaneCoordinates pc;
  ASSERT_TRUE(pc.selectSystem(9));
  pc.unitsPerMetre = 1;
  pc.bltoxy(139.8333333333333, 37.0);
  const double metres = pc.planeX;
  EXPECT_EQ(pc.planeY, 0.0);
  EXPECT_NEAR(metres, 110957.21, 0.005);
  EXPECT_NEAR(metres, (pc.meridianArc(37.0 * kPi / 180) - pc.meridianArc(36.0 * kPi / 180)) * 0.9999, 1e-6);

  for (int units : {100, 1000}) {
    pc.unitsPerMetre = units;
    pc.bltoxy(139.8333333333333, 37.0);
    EXPECT_NEAR(pc.planeX, metres * units, 1e-9 * metres * units) << units;
    EXPECT_EQ(pc.planeY, 0.0);
  }

  // Corrections are in drawing units and added after scaling.
  pc.unitsPerMetre = 1000;
  pc.eastWestCorrection = 2500;
  pc.northSouthCorrection = -1500;
  pc.bltoxy(139.8333333333333, 37.0);
  EXPECT_NEAR(pc.planeX, metres * 1000 - 1500, 1e-3);
  EXPECT_EQ(pc.planeY, 2500.0);
}

TEST(PlaneCoordinates, WestIsNegativeYAndSouthIsNegativeX) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1;
  ASSERT_TRUE(pc.selectSystem(11));
  const double lon0 = kSystemOrigins[11].longitude, lat0 = kSystemOrigins[11].latitude;

  pc.bltoxy(lon0 - 0.7, lat0 - 0.4);
  const double westX = pc.planeX, westY = pc.planeY;
  EXPECT_LT(westY, 0);
  EXPECT_LT(westX, 0);

  // The projection is symmetric about the central meridian.
  pc.bltoxy(lon0 + 0.7, lat0 - 0.4);
  EXPECT_GT(pc.planeY, 0);
  EXPECT_NEAR(pc.planeY, -westY, 1e-6);
  EXPECT_NEAR(pc.planeX, westX, 1e-6);
}

TEST(PlaneCoordinates, SelectSystemAcceptsOnly1To19) {
  PlaneCoordinates pc;
  ASSERT_TRUE(pc.selectSystem(10));
  EXPECT_EQ(pc.originLatitude, 40.0 * kPi / 180.0);
  EXPECT_EQ(pc.originLongitude, 140.8333333333333 * kPi / 180.0);
  EXPECT_EQ(pc.lastLatitude, 40.0);
  EXPECT_EQ(pc.lastLongitude, 140.8333333333333);

  const double lat = pc.originLatitude, lon = pc.originLongitude, arc = pc.originArc;
  for (int bad : {0, 20, -1, 100}) {
    EXPECT_FALSE(pc.selectSystem(bad)) << bad;
    EXPECT_EQ(pc.originLatitude, lat);
    EXPECT_EQ(pc.originLongitude, lon);
    EXPECT_EQ(pc.originArc, arc);
  }
}

// PROJ agrees to about 1 micrometre out to 2 degrees from the central meridian; the bound
// is kept well above that but far below anything a drawing could show.
TEST(PlaneCoordinates, ForwardMatchesProjInEveryZone) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1;
  for (const ReferencePoint& p : kReferencePoints) {
    SCOPED_TRACE(testing::Message() << "system " << p.system << " lon " << p.longitude << " lat " << p.latitude);
    ASSERT_TRUE(pc.selectSystem(p.system));
    pc.bltoxy(p.longitude, p.latitude);
    EXPECT_LT(std::hypot(pc.planeX - p.northing, pc.planeY - p.easting), 1e-5);
  }
}

// Fed PROJ's plane coordinates, the inverse lands within its tolerance (1 mm in a
// millimetre drawing) of PROJ's geographic point, starting from the origin.
TEST(PlaneCoordinates, InverseMatchesProjInEveryZone) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  for (const ReferencePoint& p : kReferencePoints) {
    SCOPED_TRACE(testing::Message() << "system " << p.system << " lon " << p.longitude << " lat " << p.latitude);
    ASSERT_TRUE(pc.selectSystem(p.system));
    ASSERT_TRUE(pc.xytobl(p.easting * 1000, p.northing * 1000));
    EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, p.latitude, p.longitude), 1.1e-3);
    EXPECT_LT(pc.lastIterations, PlaneCoordinates::kMaxIterations / 10);
  }
}

// The tolerance is on the squared distance in drawing units: 0.001 m^2 in a metre drawing
// (about 3 cm), 0.1 cm^2 in a centimetre drawing (about 3 mm).
TEST(PlaneCoordinates, InverseToleranceFollowsTheUnit) {
  struct Case {
    int units;
    double boundMetres;
  };
  for (const Case c : {Case{1, 0.0317}, Case{100, 0.00317}, Case{1000, 0.0011}}) {
    PlaneCoordinates pc;
    pc.unitsPerMetre = c.units;
    ASSERT_TRUE(pc.selectSystem(7));
    pc.bltoxy(138.9, 37.3);
    ASSERT_TRUE(pc.xytobl(pc.planeY, pc.planeX));
    EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, 37.3, 138.9), c.boundMetres) << c.units;
  }
}

// The inverse starts from the previous result; a previous result at the other end of the
// country costs steps but not accuracy, also 2-3 degrees off the central meridian.
TEST(PlaneCoordinates, InverseConvergesFromFarStarts) {
  struct Place {
    const char* name;
    double lat, lon;
  };
  const Place starts[] = {
      {"north cape", 45.52, 141.94},
      {"west island", 24.45, 122.93},
      {"east island", 24.28, 153.98},
      {"south reef", 20.42, 136.08},
  };
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  for (int system : {1, 9, 11, 13, 16, 18, 19}) {
    const double lon0 = kSystemOrigins[system].longitude, lat0 = kSystemOrigins[system].latitude;
    for (double dLon : {-3.0, -2.0, 2.0, 3.0}) {
      for (double dLat : {-2.0, 2.0}) {
        const double lon = lon0 + dLon, lat = lat0 + dLat;
        ASSERT_TRUE(pc.selectSystem(system));
        pc.bltoxy(lon, lat);
        const double x = pc.planeX, y = pc.planeY;

        for (const Place& s : starts) {
          SCOPED_TRACE(testing::Message()
                       << "system " << system << " lon " << lon << " lat " << lat << " from " << s.name);
          pc.lastLatitude = s.lat;
          pc.lastLongitude = s.lon;
          ASSERT_TRUE(pc.xytobl(y, x));
          EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, lat, lon), 1.1e-3);
          EXPECT_LT(pc.lastIterations, PlaneCoordinates::kMaxIterations / 10);
        }
      }
    }
  }
}

TEST(PlaneCoordinates, InverseFromThePreviousVertexTakesFewSteps) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  ASSERT_TRUE(pc.selectSystem(9));
  pc.lastLatitude = 45.52;  // the previous run ended at the other end of the country
  pc.lastLongitude = 141.94;
  pc.bltoxy(139.7, 35.6);
  ASSERT_TRUE(pc.xytobl(pc.planeY, pc.planeX));
  const int farSteps = pc.lastIterations;
  for (int i = 1; i <= 20; ++i) {
    const double lon = 139.7 + i * 1e-4, lat = 35.6 + i * 0.5e-4;  // about 10 m apart
    pc.bltoxy(lon, lat);
    ASSERT_TRUE(pc.xytobl(pc.planeY, pc.planeX));
    EXPECT_LT(pc.lastIterations, farSteps);
    EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, lat, lon), 1.1e-3);
  }
}

// Far outside the zone the series stops being invertible by this walk: the inverse must
// say so within the step limit instead of looping, and must not spoil the next call.
TEST(PlaneCoordinates, InverseFailsFarOutsideAndRecovers) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  ASSERT_TRUE(pc.selectSystem(9));

  struct Target {
    double y, x;
  };
  std::vector<Target> targets;
  for (auto [lon, lat] : {std::pair{300.0, 36.0}, std::pair{-40.0, 0.0}}) {
    pc.bltoxy(lon, lat);
    targets.push_back({pc.planeY, pc.planeX});
  }
  targets.push_back({1e12, 1e12});
  targets.push_back({-1e300, 1e300});

  pc.bltoxy(140.1, 35.9);
  const Target ordinary{pc.planeY, pc.planeX};

  for (const Target& t : targets) {
    SCOPED_TRACE(testing::Message() << "y " << t.y << " x " << t.x);
    ASSERT_TRUE(pc.selectSystem(9));
    EXPECT_FALSE(pc.xytobl(t.y, t.x));
    EXPECT_LE(pc.lastIterations, PlaneCoordinates::kMaxIterations);

    // The next point starts from whatever the failed walk left behind.
    EXPECT_TRUE(pc.xytobl(ordinary.y, ordinary.x));
    EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, 35.9, 140.1), 1.1e-3);
  }
}

TEST(PlaneCoordinates, InverseRejectsNonFiniteInputAtOnce) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  PlaneCoordinates pc;
  ASSERT_TRUE(pc.selectSystem(5));
  for (auto [y, x] :
       {std::pair{nan, 0.0}, std::pair{0.0, nan}, std::pair{inf, 0.0}, std::pair{0.0, -inf}, std::pair{nan, inf}}) {
    pc.lastIterations = -1;
    EXPECT_FALSE(pc.xytobl(y, x));
    EXPECT_EQ(pc.lastIterations, 0);
    EXPECT_EQ(pc.lastLatitude, 36.0);
    EXPECT_EQ(pc.lastLongitude, 134.3333333333333);
  }
}

// A failed walk can leave any value in the slots; a start that is no position near the
// zone is replaced by the origin.
TEST(PlaneCoordinates, InverseIgnoresAStartThatIsNoPosition) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  ASSERT_TRUE(pc.selectSystem(5));
  pc.bltoxy(134.0, 35.0);
  const double y = pc.planeY, x = pc.planeX;
  for (auto [lat, lon] : {std::pair{nan, 134.0}, std::pair{35.0, inf}, std::pair{1.2e137, -1.4e119},
                          std::pair{-2e76, 1e67}, std::pair{91.0, 134.0}, std::pair{35.0, 300.0}}) {
    SCOPED_TRACE(testing::Message() << "start " << lat << " " << lon);
    pc.lastLatitude = lat;
    pc.lastLongitude = lon;
    ASSERT_TRUE(pc.xytobl(y, x));
    EXPECT_LT(groundDistance(pc.lastLatitude, pc.lastLongitude, 35.0, 134.0), 1.1e-3);
  }
}

// A point converts to the same bits by the two-argument form (on x86-64 the generated x87
// series) and by the latitude terms (the C++ series): every system, units, corrections, and
// latitudes on both sides of 45 degrees, where the sine takes another argument reduction.
TEST(PlaneCoordinates, BothSeriesGiveTheSameBits) {
  struct Case {
    const char* name;
    int units;
    double north, east;
  };
  const Case cases[] = {
      {"millimetres", 1000, 0.0, 0.0},
      {"metres, corrected", 1, -123.25, 4567.5},
      {"sheet units", 400, 1.0e5, -2.5e4},
  };
  std::mt19937_64 random(20261211);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (const Case& c : cases) {
    for (int system = 1; system <= 19; ++system) {
      SCOPED_TRACE(testing::Message() << c.name << ", system " << system);
      PlaneCoordinates pc;
      pc.unitsPerMetre = c.units;
      pc.northSouthCorrection = c.north;
      pc.eastWestCorrection = c.east;
      ASSERT_TRUE(pc.selectSystem(system));
      const geo::SystemOrigin& o = kSystemOrigins[system];
      int differing = 0;
      for (int i = 0; i < 20000; ++i) {
        const double lon = o.longitude + 3.0 * unit(random);
        const double lat = i % 4 == 0 ? 44.0 + 2.5 * unit(random) : o.latitude + 4.0 * unit(random);
        pc.bltoxy(lon, lat);
        const double x = pc.planeX, y = pc.planeY;
        pc.bltoxy(lon, pc.latitudeTerms(lat));
        differing += std::bit_cast<std::uint64_t>(x) != std::bit_cast<std::uint64_t>(pc.planeX) ||
                     std::bit_cast<std::uint64_t>(y) != std::bit_cast<std::uint64_t>(pc.planeY);
      }
      EXPECT_EQ(differing, 0);
    }
  }
  // The origin itself, and values no sheet has but a file may hold.
  PlaneCoordinates pc;
  ASSERT_TRUE(pc.selectSystem(9));
  for (auto [lon, lat] : {std::pair{139.8333333333333, 36.0}, std::pair{-179.9, -89.9}, std::pair{0.0, 0.0},
                          std::pair{139.0, 1e-300}, std::pair{1e6, 36.0}}) {
    SCOPED_TRACE(testing::Message() << lon << " " << lat);
    pc.bltoxy(lon, lat);
    const double x = pc.planeX, y = pc.planeY;
    pc.bltoxy(lon, pc.latitudeTerms(lat));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(pc.planeX));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(y), std::bit_cast<std::uint64_t>(pc.planeY));
  }
}

// Lists convert to the bits of single points: lists of one and two pairs, a ring whose
// closing pair repeats its first, latitudes that recur (the cache of sines), and a list
// converted in place. A copy of the coordinates starts without the cache and agrees too.
TEST(PlaneCoordinates, ListsConvertLikeSinglePoints) {
  PlaneCoordinates pc;
  pc.unitsPerMetre = 1000;
  ASSERT_TRUE(pc.selectSystem(2));
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double edges[] = {33.0, 33.0 + 1.0 / 12, 33.25};
  std::vector<geo::PointPair> pairs;
  for (int i = 0; i < 5000; ++i)
    pairs.push_back({130.5 + unit(random), i % 3 == 0 ? edges[i % 9 / 3] : 33.0 + 0.3 * unit(random)});
  pairs.push_back(pairs.front());  // a closed ring
  auto expected = [](PlaneCoordinates c, const std::vector<geo::PointPair>& in) {
    std::vector<geo::PointPair> out;
    for (const auto& p : in) {
      c.bltoxy(p.x, p.y);
      out.push_back({c.planeY, c.planeX});
    }
    return out;
  };
  auto bits = [](const std::vector<geo::PointPair>& v) {
    std::vector<std::uint64_t> b;
    for (const auto& p : v) {
      b.push_back(std::bit_cast<std::uint64_t>(p.x));
      b.push_back(std::bit_cast<std::uint64_t>(p.y));
    }
    return b;
  };
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, pairs.size()}) {
    SCOPED_TRACE(testing::Message() << length << " pairs");
    const std::vector<geo::PointPair> in(pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(length));
    std::vector<geo::PointPair> out(length);
    pc.bltoxyList(in.data(), length, out.data());
    EXPECT_EQ(bits(out), bits(expected(pc, in)));
    std::vector<geo::PointPair> inPlace = in;
    PlaneCoordinates copy = pc;
    copy.bltoxyList(inPlace.data(), length, inPlace.data());
    EXPECT_EQ(bits(inPlace), bits(out));
  }
}

}  // namespace
