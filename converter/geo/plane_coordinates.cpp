#include "converter/geo/plane_coordinates.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <type_traits>

// On x86-64 the forward series runs as generated x87 code that keeps every value in the
// stack registers; the C++ series below is its reference and the other targets' code.
#if defined(__x86_64__) && defined(__GNUC__)
#define PLANE_SERIES_IN_X87 1
#include "converter/geo/plane_series_x87.inc"
#else
#define PLANE_SERIES_IN_X87 0
#endif

namespace geo {

// Row 0 is unused so that the row number is the system number.
const std::array<SystemOrigin, 21> kSystemOrigins = {{
    {0.0, 0.0},
    {129.5, 33.0},
    {131.0, 33.0},
    {132.1666666666666, 36.0},
    {133.5, 33.0},
    {134.3333333333333, 36.0},
    {136.0, 36.0},
    {137.1666666666666, 36.0},
    {138.5, 36.0},
    {139.8333333333333, 36.0},
    {140.8333333333333, 40.0},
    {140.25, 44.0},
    {142.25, 44.0},
    {144.25, 44.0},
    {142.0, 26.0},
    {127.5, 26.0},
    {124.0, 26.0},
    {131.0, 26.0},
    {136.0, 20.0},
    {154.0, 26.0},
    {135.0, 37.0},
}};

namespace {

constexpr double kPi = std::numbers::pi;
// Metres per degree on the equator; the inverse iteration steps with it.
constexpr double kMetresPerDegree = 111319.49079327357265;

// Degrees to radians exactly as the origin is converted, so that a point at the origin
// gives differences of exactly zero.
double radians(double degrees) { return degrees * kPi / 180.0; }

}  // namespace

// Sines and cosines of recent latitudes, by a hash of the angle's bits: lines cut at mesh
// edges repeat the edges' latitudes, and the sine is the dearest step of a conversion.
struct SineCache {
  static constexpr int kBits = 10;
  struct Entry {
    long double sinP = 0, cosP = 0;
    std::uint64_t phi = 0;
    bool used = false;
  };
  Entry entries[1 << kBits];
};

PlaneCoordinates::SineCacheHolder::~SineCacheHolder() { delete cache; }

PlaneCoordinates::PlaneCoordinates() { initialiseEllipsoid(); }

void PlaneCoordinates::initialiseEllipsoid() {
  const double f = flattening;
  eccentricity = std::sqrt(2.0 * f - f * f);
  secondEccentricity = std::sqrt(2.0 / f - 1.0) / (1.0 / f - 1.0);

  using L = long double;
  const L e = eccentricity;
  const L e2 = std::pow(e, 2.0L), e4 = std::pow(e, 4.0L), e6 = std::pow(e, 6.0L), e8 = std::pow(e, 8.0L),
          e10 = std::pow(e, 10.0L), e12 = std::pow(e, 12.0L), e14 = std::pow(e, 14.0L), e16 = std::pow(e, 16.0L);

  const L A = 1.0L + 3.0L / 4.0L * e2 + 45.0L / 64.0L * e4 + 175.0L / 256.0L * e6 + 11025.0L / 16384.0L * e8 +
              43659.0L / 65536.0L * e10 + 693693.0L / 1048576.0L * e12 + 19324305.0L / 29360128.0L * e14 +
              4927697775.0L / 7516192768.0L * e16;
  const L B = 3.0L / 4.0L * e2 + 15.0L / 16.0L * e4 + 525.0L / 512.0L * e6 + 2205.0L / 2048.0L * e8 +
              72765.0L / 65536.0L * e10 + 297297.0L / 262144.0L * e12 + 135270135.0L / 117440512.0L * e14 +
              547521975.0L / 469762048.0L * e16;
  const L C = 15.0L / 64.0L * e4 + 105.0L / 256.0L * e6 + 2205.0L / 4096.0L * e8 + 10395.0L / 16384.0L * e10 +
              1486485.0L / 2097152.0L * e12 + 45090045.0L / 58720256.0L * e14 + 766530765.0L / 939524096.0L * e16;
  const L D = 35.0L / 512.0L * e6 + 315.0L / 2048.0L * e8 + 31185.0L / 131072.0L * e10 + 165165.0L / 524288.0L * e12 +
              45090045.0L / 117440512.0L * e14 + 209053845.0L / 469762048.0L * e16;
  const L E = 315.0L / 16384.0L * e8 + 3465.0L / 65536.0L * e10 + 99099.0L / 1048576.0L * e12 +
              4099095.0L / 29360128.0L * e14 + 348423075.0L / 1879048192.0L * e16;
  const L F = 693.0L / 131072.0L * e10 + 9009.0L / 524288.0L * e12 + 4099095.0L / 117440512.0L * e14 +
              26801775.0L / 469762048.0L * e16;
  const L G = 3003.0L / 2097152.0L * e12 + 315315.0L / 58720256.0L * e14 + 11486475.0L / 939524096.0L * e16;
  const L H = 45045.0L / 117440512.0L * e14 + 765765.0L / 469762048.0L * e16;
  const L I = 765765.0L / 7516192768.0L * e16;

  const L k = static_cast<L>(semiMajorAxis) * (1.0L - e2);
  arcCoefficients = {
      static_cast<double>(k * A),         static_cast<double>(-k * B / 2.0L),  static_cast<double>(k * C / 4.0L),
      static_cast<double>(-k * D / 6.0L), static_cast<double>(k * E / 8.0L),   static_cast<double>(-k * F / 10.0L),
      static_cast<double>(k * G / 12.0L), static_cast<double>(-k * H / 14.0L), static_cast<double>(k * I / 16.0L),
  };
  polarRadius = semiMajorAxis / std::sqrt(1.0 - eccentricity * eccentricity);
}

namespace {
// S(φ) from φ, sin φ and cos φ: sin 2kφ for k = 1..8 by the recurrence
// sin((k+1)θ) = 2 cos θ sin kθ − sin((k−1)θ) with θ = 2φ, the same value to extended
// precision as eight separate sines.
long double arcSeries(const std::array<double, 9>& c, long double p, long double sinP, long double cosP) {
  const long double sin2 = 2.0L * sinP * cosP;
  const long double twoCos2 = 2.0L * (1.0L - 2.0L * sinP * sinP);
  long double previous = 0.0L, current = sin2;
  long double s = c[0] * p;
  for (int k = 1; k <= 8; ++k) {
    s += c[k] * current;
    const long double next = twoCos2 * current - previous;
    previous = current;
    current = next;
  }
  return s;
}
}  // namespace

double PlaneCoordinates::meridianArc(double phi) const {
  long double sinP, cosP;
  sincosl(static_cast<long double>(phi), &sinP, &cosP);
  return static_cast<double>(arcSeries(arcCoefficients, phi, sinP, cosP));
}

bool PlaneCoordinates::convertsLike(const PlaneCoordinates& o) const {
  return scaleFactor == o.scaleFactor && semiMajorAxis == o.semiMajorAxis && flattening == o.flattening &&
         eccentricity == o.eccentricity && secondEccentricity == o.secondEccentricity &&
         arcCoefficients == o.arcCoefficients && polarRadius == o.polarRadius && originLatitude == o.originLatitude &&
         originLongitude == o.originLongitude && originArc == o.originArc && unitsPerMetre == o.unitsPerMetre &&
         eastWestCorrection == o.eastWestCorrection && northSouthCorrection == o.northSouthCorrection;
}

bool PlaneCoordinates::selectSystem(int systemNumber) {
  if (systemNumber < 1 || systemNumber > 19) return false;
  const SystemOrigin& o = kSystemOrigins[systemNumber];
  originLatitude = radians(o.latitude);
  originLongitude = radians(o.longitude);
  originArc = meridianArc(originLatitude);
  lastLatitude = o.latitude;
  lastLongitude = o.longitude;
  return true;
}

LatitudeTerms PlaneCoordinates::latitudeTerms(double ido) const {
  using L = long double;
  // The angles and the arc are rounded to double like the origin's, which keeps the
  // origin exact; everything after that runs in extended precision.
  const L phi = radians(ido);
  // One sine and cosine of the latitude serve the arc, cos φ and tan φ.
  L sinP, cosP;
  sincosl(phi, &sinP, &cosP);
  LatitudeTerms terms;
  terms.arc =
      static_cast<L>(static_cast<double>(arcSeries(arcCoefficients, phi, sinP, cosP))) - static_cast<L>(originArc);
  terms.cosine = cosP;
  terms.tangent = sinP / cosP;
  const L ep = static_cast<L>(secondEccentricity);
  terms.eta2 = (ep * ep) * (cosP * cosP);
  terms.radius = static_cast<L>(polarRadius) / std::sqrt(1.0L + terms.eta2);
  return terms;
}

#if PLANE_SERIES_IN_X87
namespace {
// What the x87 series reads of one point, at the offsets the code is given.
struct SeriesPoint {
  long double sinP, cosP;
  double phi, dl;
  double scratch;  // S(φ) rounded to double, as latitudeTerms rounds it
};

// The same bits: such pairs convert to the same values.
bool samePair(const PointPair& a, const PointPair& b) {
  return std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
         std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y);
}

void prepare(double kdo, double ido, SeriesPoint& p, double originLongitude) {
  p.phi = radians(ido);
  sincosl(p.phi, &p.sinP, &p.cosP);
  p.dl = radians(kdo) - originLongitude;
}

// A point of a list: prepared through the cache of recent latitudes, and the cache entry
// its sine and cosine go into once its series has run.
struct ListPoint {
  SeriesPoint p;
  SineCache::Entry* fill = nullptr;
  std::uint64_t bits = 0;
};

// A sine found in the cache is the one sincosl gave for the same angle bits. A new one is
// written into the cache only after the point's series (`keepSine`): copied at once, the
// copy would read the bytes sincosl has just stored and wait for them.
void prepare(double kdo, double ido, ListPoint& l, double originLongitude, SineCache& cache) {
  SeriesPoint& p = l.p;
  p.phi = radians(ido);
  l.bits = std::bit_cast<std::uint64_t>(p.phi);
  SineCache::Entry& e = cache.entries[(l.bits * 0x9E3779B97F4A7C15ull) >> (64 - SineCache::kBits)];
  if (e.used && e.phi == l.bits) {
    std::memcpy(&p.sinP, &e.sinP, sizeof p.sinP);
    std::memcpy(&p.cosP, &e.cosP, sizeof p.cosP);
    l.fill = nullptr;
  } else {
    sincosl(p.phi, &p.sinP, &p.cosP);
    l.fill = &e;
  }
  p.dl = radians(kdo) - originLongitude;
}

void keepSine(const ListPoint& l) {
  if (!l.fill) return;
  std::memcpy(&l.fill->sinP, &l.p.sinP, sizeof l.p.sinP);
  std::memcpy(&l.fill->cosP, &l.p.cosP, sizeof l.p.cosP);
  l.fill->phi = l.bits;
  l.fill->used = true;
}

static_assert(std::is_standard_layout_v<PlaneCoordinates> && std::is_standard_layout_v<SeriesPoint>,
              "the x87 code reaches the members by offsetof");

// The series of one prepared point into planeX, planeY (and p.scratch).
void runSeries(PlaneCoordinates& pc, SeriesPoint& p) {
  asm(PLANE_SERIES_X87
      :
      : [in] "r"(&p), [pc] "r"(&pc), [k] "r"(kSeriesConstants), [sinP] "i"(offsetof(SeriesPoint, sinP)),
        [cosP] "i"(offsetof(SeriesPoint, cosP)), [phi] "i"(offsetof(SeriesPoint, phi)),
        [dl] "i"(offsetof(SeriesPoint, dl)), [scratch] "i"(offsetof(SeriesPoint, scratch)),
        [arc] "i"(offsetof(PlaneCoordinates, arcCoefficients)), [arc0] "i"(offsetof(PlaneCoordinates, originArc)),
        [ep] "i"(offsetof(PlaneCoordinates, secondEccentricity)), [polar] "i"(offsetof(PlaneCoordinates, polarRadius)),
        [scale] "i"(offsetof(PlaneCoordinates, scaleFactor)), [units] "i"(offsetof(PlaneCoordinates, unitsPerMetre)),
        [north] "i"(offsetof(PlaneCoordinates, northSouthCorrection)),
        [east] "i"(offsetof(PlaneCoordinates, eastWestCorrection)), [planeX] "i"(offsetof(PlaneCoordinates, planeX)),
        [planeY] "i"(offsetof(PlaneCoordinates, planeY))
      : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

}  // namespace

void PlaneCoordinates::bltoxy(double kdo, double ido) {
  SeriesPoint p;
  prepare(kdo, ido, p, originLongitude);
  runSeries(*this, p);
}

void PlaneCoordinates::bltoxyList(const PointPair* lonLat, std::size_t n, PointPair* eastNorth) {
  if (n == 0) return;
  // A ring's closing pair repeats its first: converted once, copied.
  const bool closing = n > 1 && samePair(lonLat[n - 1], lonLat[0]);
  const std::size_t convert = closing ? n - 1 : n;
  if (!sines.cache) sines.cache = new SineCache;
  SineCache& cache = *sines.cache;
  ListPoint points[2];
  prepare(lonLat[0].x, lonLat[0].y, points[0], originLongitude, cache);
  for (std::size_t i = 0; i < convert; ++i) {
    // The next point's sine is independent of this point's series: issued first, the two
    // overlap in the processor.
    if (i + 1 < convert) prepare(lonLat[i + 1].x, lonLat[i + 1].y, points[(i + 1) & 1], originLongitude, cache);
    runSeries(*this, points[i & 1].p);
    keepSine(points[i & 1]);
    eastNorth[i] = {planeY, planeX};
  }
  if (closing) {
    eastNorth[n - 1] = eastNorth[0];
    planeY = eastNorth[0].x;
    planeX = eastNorth[0].y;
  }
}
#else
void PlaneCoordinates::bltoxy(double kdo, double ido) { bltoxy(kdo, latitudeTerms(ido)); }

void PlaneCoordinates::bltoxyList(const PointPair* lonLat, std::size_t n, PointPair* eastNorth) {
  for (std::size_t i = 0; i < n; ++i) {
    bltoxy(lonLat[i].x, lonLat[i].y);
    eastNorth[i] = {planeY, planeX};
  }
}
#endif

void PlaneCoordinates::bltoxy(double kdo, const LatitudeTerms& terms) {
  using L = long double;
  const L dl = static_cast<L>(radians(kdo) - originLongitude);
  const L dS = terms.arc;
  // Powers by multiplication: the series is evaluated for every vertex of a run.
  const L cp = terms.cosine;
  const L cp2 = cp * cp, cp3 = cp2 * cp, cp4 = cp2 * cp2, cp5 = cp4 * cp, cp6 = cp4 * cp2, cp7 = cp6 * cp,
          cp8 = cp4 * cp4;
  const L eta2 = terms.eta2;
  const L eta4 = eta2 * eta2;
  const L N = terms.radius;
  const L t = terms.tangent;
  const L t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
  const L dl2 = dl * dl, dl3 = dl2 * dl, dl4 = dl2 * dl2, dl5 = dl4 * dl, dl6 = dl4 * dl2, dl7 = dl6 * dl,
          dl8 = dl4 * dl4;

  const L x = dS + N / 2.0L * cp2 * t * dl2 + N / 24.0L * cp4 * t * (5.0L - t2 + 9.0L * eta2 + 4.0L * eta4) * dl4 -
              N / 720.0L * cp6 * t * (58.0L * t2 - 61.0L - t4 - 270.0L * eta2 + 330.0L * t2 * eta2) * dl6 -
              N / 40320.0L * cp8 * t * (3111.0L * t2 - 1385.0L - 543.0L * t4 + t6) * dl8;
  const L y = N * cp * dl - N / 6.0L * cp3 * (t2 - 1.0L - eta2) * dl3 -
              N / 120.0L * cp5 * (18.0L * t2 - 5.0L - t4 - 14.0L * eta2 + 58.0L * t2 * eta2) * dl5 -
              N / 5040.0L * cp7 * (479.0L * t2 - 61.0L - 179.0L * t4 + t6) * dl7;

  const L scale = static_cast<L>(scaleFactor) * unitsPerMetre;
  planeX = static_cast<double>(x * scale + northSouthCorrection);
  planeY = static_cast<double>(y * scale + eastWestCorrection);
}

bool PlaneCoordinates::xytobl(double yy, double xx) {
  lastIterations = 0;
  if (!std::isfinite(yy) || !std::isfinite(xx)) return false;
  // A failed call leaves its last estimate in the slots, which may be far off the globe;
  // starting from there would make the next, ordinary point fail too.
  const double originLon = originLongitude * 180.0 / kPi;
  if (!(std::fabs(lastLatitude) < 90.0) || !(std::fabs(lastLongitude - originLon) <= 60.0)) {
    lastLatitude = originLatitude * 180.0 / kPi;
    lastLongitude = originLon;
  }

  const double tolerance = unitsPerMetre * 0.001;
  const double lonStep = std::cos(originLatitude);
  for (int step = 0;; ++step) {
    bltoxy(lastLongitude, lastLatitude);
    const double dY = planeY - yy;
    const double dX = planeX - xx;
    const double d2 = dX * dX + dY * dY;
    if (d2 <= tolerance) {
      lastIterations = step;
      return true;
    }
    // A diverging walk (a point far outside the zone) ends here instead of running on
    // NaNs; the slots keep the last finite estimate.
    if (step == kMaxIterations || !std::isfinite(d2)) {
      lastIterations = step;
      return false;
    }
    const double lat = lastLatitude - dX / unitsPerMetre / kMetresPerDegree;
    const double lon = lastLongitude - lonStep * dY / unitsPerMetre / kMetresPerDegree;
    if (!std::isfinite(lat) || !std::isfinite(lon)) {
      lastIterations = step;
      return false;
    }
    lastLatitude = lat;
    lastLongitude = lon;
  }
}

}  // namespace geo
