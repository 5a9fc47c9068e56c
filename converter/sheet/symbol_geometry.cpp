#include "converter/sheet/symbol_geometry.h"

#include <cmath>
#include <numbers>

namespace sheet::symbol_geometry {

namespace {

constexpr double kPi = std::numbers::pi;

using Groups = std::vector<dxfio::Group>;

void point(Groups& p, int code, Pt v) {
  p.push_back({code, num(v.x)});
  p.push_back({code + 10, num(v.y)});
}

}  // namespace

// The fixed coordinates of the symbol table come out as they are written there; the
// computed ones are rounded to the same six decimals.
std::string num(double v) { return dxfio::formatReal(std::round(v * 1e6) / 1e6); }

double rad(double degrees) { return degrees * kPi / 180; }

// ---------------------------------------------------------------------------------------
// Curves.

std::vector<Pt> arcAbout(Pt c, double r, double from, double to, int n) {
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    double a = from + (to - from) * i / (n - 1);
    v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return v;
}

// The centre is the circumcentre of a, b and c; the sweep from a to c goes the way that
// passes b. The ends are set to a and c so that they come out exactly as given.
std::vector<Pt> arcThrough(Pt a, Pt b, Pt c, int n) {
  const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
  const double qa = a.x * a.x + a.y * a.y, qb = b.x * b.x + b.y * b.y, qc = c.x * c.x + c.y * c.y;
  const Pt m{(qa * (b.y - c.y) + qb * (c.y - a.y) + qc * (a.y - b.y)) / d,
             (qa * (c.x - b.x) + qb * (a.x - c.x) + qc * (b.x - a.x)) / d};
  const double r = std::hypot(a.x - m.x, a.y - m.y);
  auto angle = [&](Pt p) { return std::atan2(p.y - m.y, p.x - m.x); };
  auto ccw = [](double from, double to) {  // counter-clockwise sweep in [0, 2π)
    double s = std::fmod(to - from, 2 * kPi);
    return s < 0 ? s + 2 * kPi : s;
  };
  const double from = angle(a);
  const double sweepC = ccw(from, angle(c)), sweepB = ccw(from, angle(b));
  const double sweep = sweepB < sweepC ? sweepC : sweepC - 2 * kPi;
  std::vector<Pt> v = arcAbout(m, r, from, from + sweep, n);
  v.front() = a;
  v.back() = c;
  return v;
}

std::vector<Pt> mirrored(std::vector<Pt> v) {
  for (Pt& p : v) p.x = -p.x;
  return v;
}

void append(std::vector<Pt>& to, const std::vector<Pt>& from, std::size_t dropLast) {
  to.insert(to.end(), from.begin(), from.end() - static_cast<std::ptrdiff_t>(dropLast));
}

// ---------------------------------------------------------------------------------------
// Entities.

Entity line(Pt a, Pt b) {
  Groups p{{100, "AcDbLine"}};
  point(p, 10, a);
  p.push_back({30, "0"});
  point(p, 11, b);
  p.push_back({31, "0"});
  return {"LINE", std::move(p)};
}

Entity circle(double r, Pt c) {
  Groups p{{100, "AcDbCircle"}};
  point(p, 10, c);
  p.push_back({30, "0"});
  p.push_back({40, num(r)});
  return {"CIRCLE", std::move(p)};
}

Entity polyline(const std::vector<Pt>& vertices, bool closed) {
  Groups p{{100, "AcDbPolyline"}, {90, std::to_string(vertices.size())}, {70, closed ? "1" : "0"}, {43, "0.0"}};
  for (Pt v : vertices) point(p, 10, v);
  return {"LWPOLYLINE", std::move(p)};
}

Entity dot(Pt c, double r, double seedY, bool clockwise) {
  Groups p{{100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "0"}, {210, "0.0"}, {220, "0.0"}, {230, "1.0"},
           {2, "SOLID"},       {70, "1"}, {71, "0"}, {91, "1"}, {92, "1"},    {93, "1"},    {72, "2"}};
  point(p, 10, c);
  p.push_back({40, num(r)});
  p.push_back({50, clockwise ? "180.0" : "0.0"});
  p.push_back({51, clockwise ? "540.0" : "360.0"});
  p.push_back({73, clockwise ? "0" : "1"});
  p.insert(p.end(), {{97, "0"}, {75, "0"}, {76, "1"}, {98, "1"}});
  point(p, 10, {c.x, seedY});
  p.insert(p.end(), {{1001, "ACAD"}, {1010, "0.0"}, {1020, "0.0"}, {1030, "0.0"}});
  return {"HATCH", std::move(p)};
}

Entity dot(Pt c, double r) { return dot(c, r, c.y - 25 * r); }

Entity solid(const std::array<std::pair<std::string, std::string>, 4>& corners) {
  Groups p{{100, "AcDbTrace"}};
  for (int i = 0; i < 4; ++i) {
    p.push_back({10 + i, corners[i].first});
    p.push_back({20 + i, corners[i].second});
    p.push_back({30 + i, "0"});
  }
  return {"SOLID", std::move(p)};
}

Entity solid(Pt a, Pt b, Pt c, Pt d) {
  return solid({{{num(a.x), num(a.y)}, {num(b.x), num(b.y)}, {num(c.x), num(c.y)}, {num(d.x), num(d.y)}}});
}

Entity ray(double degrees, double from, double to) {
  const double a = rad(degrees);
  return line({from * std::cos(a), from * std::sin(a)}, {to * std::cos(a), to * std::sin(a)});
}

Entity bowl() {
  return {"ELLIPSE",
          {{100, "AcDbEllipse"},
           {10, "0"},
           {20, "-17322.805484"},
           {30, "0"},
           {11, "30000"},
           {21, "0"},
           {31, "0"},
           {210, "0.0"},
           {220, "0.0"},
           {230, "1.0"},
           {40, "0.422573"},
           {41, "-4.041673279788041"},
           {42, "0.9000806261982523"}}};
}

Entity schoolText(std::string_view x, std::string_view text) {
  return {"TEXT",
          {{100, "AcDbText"},
           {10, std::string(x)},
           {20, "3522.510232"},
           {30, "0"},
           {40, "24000"},
           {1, std::string(text)},
           {72, "4"},
           {11, "0"},
           {21, "14000"},
           {31, "0"},
           {100, "AcDbText"}}};
}

// ---------------------------------------------------------------------------------------
// Composite drawings that several symbols share or that are computed.

// Two 13-vertex arcs of radius 18000, a cap over the top and a cup under the bottom of
// the central stroke (centres (0, ∓5558.4)).
std::vector<Entity> forestOffice() {
  return {line({0, 12441.6}, {0, -12441.6}),
          polyline(arcThrough({-14400, 5241.6}, {0, 12441.6}, {14400, 5241.6}, 13), false),
          polyline(arcThrough({-14400, -5241.6}, {0, -12441.6}, {14400, -5241.6}, 13), false)};
}

// A stele with a semicircular top (centre (0, 12960), radius 5039.999697) standing on a
// ground line; the path runs along the ground first and comes back to the stone's foot.
std::vector<Pt> monumentOutline() {
  const double g = -18000.000032, half = 5039.999697;
  std::vector<Pt> v{{11407.470507, g}, {-11407.470507, g}, {-half, g}};
  append(v, arcAbout({0, 12960}, half, kPi, 0, 8));
  v.push_back({half, g});
  return v;
}

// A hull with a flat stern and straight sides up to the cross line at y −14627.85973, then
// a pointed bow of two arcs meeting at (0, 30000). Each bow arc leaves its side vertically,
// so its centre lies on the cross line: (±c, −14627.85973) with c = (Δy² − w²) / 2w.
std::vector<Pt> boatOutline() {
  const double w = 10392.305071, stern = -30000.000088, waist = -14627.85973;
  const double dy = 30000 - waist;
  const double c = (dy * dy - w * w) / (2 * w);
  const double r = c + w;
  const double top = std::atan2(30000 - waist, -c);  // angle of the bow tip seen from (c, waist)
  std::vector<Pt> left = arcAbout({c, waist}, r, kPi, top, 6);
  left.back() = {0, 30000};
  std::vector<Pt> v{{-w, stern}};
  append(v, left);                         // (−w, waist) … (0, 30000)
  std::vector<Pt> right = mirrored(left);  // (w, waist) … (0, 30000)
  for (auto it = right.rbegin() + 1; it != right.rend(); ++it) v.push_back(*it);
  v.push_back({w, stern});
  return v;
}

std::vector<Pt> steam(double x0, double y0, double y1, int n) {
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / (n - 1);
    v.push_back({x0 + 2400 * std::sin(3 * kPi * t), y0 + (y1 - y0) * t});
  }
  return v;
}

// Half a length of 10800 across the handle and 2400 along it.
Entity pickHead(Pt bottom, Pt top) {
  const double len = std::hypot(top.x - bottom.x, top.y - bottom.y);
  const Pt d{(top.x - bottom.x) / len, (top.y - bottom.y) / len};
  const Pt n{-d.y, d.x};
  return solid({top.x + 10800 * n.x, top.y + 10800 * n.y}, {top.x + 2400 * d.x, top.y + 2400 * d.y},
               {top.x - 2400 * d.x, top.y - 2400 * d.y}, {top.x - 10800 * n.x, top.y - 10800 * n.y});
}

// Anchor: shank, ring, one or two stocks, two flukes and the 15-vertex arm arc about
// (0, −8000), radius 22000, from 160° through the bottom (0, −30000) to 20°. Each fluke is
// a barb from an arm tip, 7200 long, turned 40° outward from the arm's direction.
std::vector<Entity> anchor(Stocks stocks, Ring ring) {
  const Pt centre{0, -8000};
  const double r = 22000;
  std::vector<Entity> e{line({0, -30000}, {0, 18000})};
  e.push_back(ring == Ring::open ? circle(6000, {0, 24000}) : dot({0, 24000}, 6000, -540000));
  e.push_back(line({-10800, 12458.707168}, {10800, 12458.707168}));
  if (stocks == Stocks::two) e.push_back(line({-10800, 7184.962467}, {10800, 7184.962467}));
  for (double side : {-1.0, 1.0}) {
    const double a = side < 0 ? rad(160) : rad(20);
    const Pt tip{centre.x + r * std::cos(a), centre.y + r * std::sin(a)};
    // Unit tangent from the tip back along the arm, turned outward.
    const Pt back{side * std::sin(a), -side * std::cos(a)};
    const double turn = rad(40) * side;
    const Pt barb{back.x * std::cos(turn) - back.y * std::sin(turn), back.x * std::sin(turn) + back.y * std::cos(turn)};
    e.push_back(line(tip, {tip.x + 7200 * barb.x, tip.y + 7200 * barb.y}));
  }
  e.push_back(polyline(arcAbout(centre, r, rad(160), rad(380), 15), false));
  return e;
}

// An open book, rotated so that its spine is the line (−2953.35496, 16550.532384)–
// (2953.35496, −16550.532384). In the book's own frame the spine runs from (0, −L) to (0, L);
// the right page's top corner is the given first vertex; every page edge across is an arc
// bulging 2800 upward (7 vertices between its ends).
std::vector<Pt> bookOutline() {
  const Pt spineTop{-2953.35496, 16550.532384};
  const Pt first{19066.691249, 20479.893155};
  const double len = std::hypot(spineTop.x, spineTop.y);
  const double a = std::atan2(-spineTop.x, spineTop.y);  // rotation of the book, counter-clockwise
  const double ca = std::cos(a), sa = std::sin(a);
  const Pt corner{first.x * ca + first.y * sa, -first.x * sa + first.y * ca};  // in the book's frame
  auto page = [](Pt from, Pt to) {
    const Pt mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
    const double cl = std::hypot(to.x - from.x, to.y - from.y);
    Pt up{-(to.y - from.y) / cl, (to.x - from.x) / cl};
    if (up.y < 0) up = {-up.x, -up.y};
    return arcThrough(from, {mid.x + 2800 * up.x, mid.y + 2800 * up.y}, to, 9);
  };
  const double drop = 2 * len;
  const Pt rightTop = corner, leftTop{-corner.x, corner.y};
  const Pt rightBottom{corner.x, corner.y - drop}, leftBottom{-corner.x, corner.y - drop};
  std::vector<Pt> v;
  append(v, page(rightTop, {0, len}), 1);
  append(v, page({0, len}, leftTop));
  append(v, page(leftBottom, {0, -len}), 1);
  append(v, page({0, -len}, rightBottom));
  v.push_back(rightTop);
  for (Pt& p : v) p = {p.x * ca - p.y * sa, p.x * sa + p.y * ca};
  v.front() = v.back() = first;
  return v;
}

// The walking stick of the old people's home: a shaft up from the given foot and a crook
// bending over to the left (semicircle about (2855.100645, 2400), radius 2400).
std::vector<Pt> caneOutline() {
  const double x = 5255.100645, r = 2400;
  std::vector<Pt> v{{x, -14338.978803}};
  append(v, arcAbout({x - r, 2400}, r, 0, kPi, 10));
  return v;
}

// Gear: hub circle r 10800 and eight teeth out to r 18000; the two horizontal teeth reach
// `horizontalReach`.
std::vector<Entity> gear(double horizontalReach) {
  std::vector<Entity> e{circle(10800)};
  for (int k = 0; k < 8; ++k) e.push_back(ray(45.0 * k, 10800, k % 4 == 0 ? horizontalReach : 18000));
  return e;
}

std::vector<Entity> schoolLines(double footX, double footY, double armX, double barX, double barY, double stemTop) {
  return {line({-footX, footY}, {armX, barY}), line({footX, footY}, {-armX, barY}), line({-barX, barY}, {barX, barY}),
          line({0, barY}, {0, stemTop})};
}

std::vector<Pt> palmTrunk() { return {{0, 12160.93031}, {0, -15422.4}, {15422.4, -15422.4}}; }

}  // namespace sheet::symbol_geometry
