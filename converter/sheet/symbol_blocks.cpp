#include "converter/sheet/symbol_blocks.h"

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

#include "converter/sheet/entity_writer.h"

namespace sheet {

namespace {

// ---------------------------------------------------------------------------------------
// Entities as code/value pairs after the entity head.

using Pairs = std::vector<std::pair<int, std::string>>;

struct Entity {
  std::string_view type;
  Pairs body;
};

struct Symbol {
  std::string_view name;
  std::vector<Entity> entities;
};

struct Pt {
  double x, y;
};

// Symbol coordinates are block-unit numbers of at most six decimals; the fixed ones
// ("15588.457268", "-9000") come out as they are written in the table below, the computed
// ones are rounded to the same six decimals so that the text does not depend on the last
// bit of a sine.
std::string num(double v) { return dxfio::formatReal(std::round(v * 1e6) / 1e6); }

void point(Pairs& p, int code, Pt v) {
  p.emplace_back(code, num(v.x));
  p.emplace_back(code + 10, num(v.y));
}

Entity line(Pt a, Pt b) {
  Pairs p{{100, "AcDbLine"}};
  point(p, 10, a);
  p.emplace_back(30, "0");
  point(p, 11, b);
  p.emplace_back(31, "0");
  return {"LINE", std::move(p)};
}

Entity circle(double r, Pt c = {0, 0}) {
  Pairs p{{100, "AcDbCircle"}};
  point(p, 10, c);
  p.emplace_back(30, "0");
  p.emplace_back(40, num(r));
  return {"CIRCLE", std::move(p)};
}

Entity polyline(const std::vector<Pt>& vertices, bool closed) {
  Pairs p{{100, "AcDbPolyline"},
          {90, std::to_string(vertices.size())},
          {70, closed ? "1" : "0"},
          {43, "0.0"}};
  for (Pt v : vertices) point(p, 10, v);
  return {"LWPOLYLINE", std::move(p)};
}

// A filled disc: a solid HATCH bounded by one full circle.
Entity dot(Pt c, double r, double seedY, bool clockwise = false) {
  Pairs p{{100, "AcDbHatch"}, {10, "0"},    {20, "0"},   {30, "0"},   {210, "0.0"}, {220, "0.0"},
          {230, "1.0"},       {2, "SOLID"}, {70, "1"},   {71, "0"},   {91, "1"},    {92, "1"},
          {93, "1"},          {72, "2"}};
  point(p, 10, c);
  p.emplace_back(40, num(r));
  p.emplace_back(50, clockwise ? "180.0" : "0.0");
  p.emplace_back(51, clockwise ? "540.0" : "360.0");
  p.emplace_back(73, clockwise ? "0" : "1");
  p.insert(p.end(), {{97, "0"}, {75, "0"}, {76, "1"}, {98, "1"}});
  point(p, 10, {c.x, seedY});
  p.insert(p.end(), {{1001, "ACAD"}, {1010, "0.0"}, {1020, "0.0"}, {1030, "0.0"}});
  return {"HATCH", std::move(p)};
}

Entity dot(Pt c, double r) { return dot(c, r, c.y - 25 * r); }

// Corners in the order of the SOLID record (drawn 1-2-4-3), already formatted.
Entity solid(const std::array<std::pair<std::string, std::string>, 4>& corners) {
  Pairs p{{100, "AcDbTrace"}};
  for (int i = 0; i < 4; ++i) {
    p.emplace_back(10 + i, corners[i].first);
    p.emplace_back(20 + i, corners[i].second);
    p.emplace_back(30 + i, "0");
  }
  return {"SOLID", std::move(p)};
}

Entity solid(Pt a, Pt b, Pt c, Pt d) {
  return solid({{{num(a.x), num(a.y)}, {num(b.x), num(b.y)}, {num(c.x), num(c.y)}, {num(d.x), num(d.y)}}});
}

// The bowl of the hot spring and the crater: an elliptical arc open at the top.
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
// Curves.

constexpr double kPi = std::numbers::pi;
double rad(double degrees) { return degrees * kPi / 180; }

// n vertices on the circle about `c`, evenly spaced in angle from `from` to `to` (radians;
// to < from runs clockwise).
std::vector<Pt> arcAbout(Pt c, double r, double from, double to, int n) {
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    double a = from + (to - from) * i / (n - 1);
    v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return v;
}

// n vertices on the circle through a, b and c, evenly spaced in angle, from a through b to
// c. The end vertices are a and c themselves.
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

// Appends `from` without its last `dropLast` vertices (where the next piece starts).
void append(std::vector<Pt>& to, const std::vector<Pt>& from, std::size_t dropLast = 0) {
  to.insert(to.end(), from.begin(), from.end() - static_cast<std::ptrdiff_t>(dropLast));
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
  append(v, left);                                        // (−w, waist) … (0, 30000)
  std::vector<Pt> right = mirrored(left);                 // (w, waist) … (0, 30000)
  for (auto it = right.rbegin() + 1; it != right.rend(); ++it) v.push_back(*it);
  v.push_back({w, stern});
  return v;
}

// A rising wave: x = x0 + 2400 sin(3π t), y from y0 to y1, n vertices evenly in t.
std::vector<Pt> steam(double x0, double y0, double y1, int n) {
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / (n - 1);
    v.push_back({x0 + 2400 * std::sin(3 * kPi * t), y0 + (y1 - y0) * t});
  }
  return v;
}

// A pick head: a thin rhombus across the handle at its upper end.
Entity pickHead(Pt bottom, Pt top) {
  const double len = std::hypot(top.x - bottom.x, top.y - bottom.y);
  const Pt d{(top.x - bottom.x) / len, (top.y - bottom.y) / len};
  const Pt n{-d.y, d.x};
  return solid({top.x + 10800 * n.x, top.y + 10800 * n.y}, {top.x + 2400 * d.x, top.y + 2400 * d.y},
               {top.x - 2400 * d.x, top.y - 2400 * d.y}, {top.x - 10800 * n.x, top.y - 10800 * n.y});
}

enum class Stocks { two, one };
enum class Ring { open, solid };

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

Entity ray(double degrees, double from, double to) {
  const double a = rad(degrees);
  return line({from * std::cos(a), from * std::sin(a)}, {to * std::cos(a), to * std::sin(a)});
}

// Gear: hub circle r 10800 and eight teeth out to r 18000; the two horizontal teeth reach
// `horizontalReach`.
std::vector<Entity> gear(double horizontalReach) {
  std::vector<Entity> e{circle(10800)};
  for (int k = 0; k < 8; ++k) e.push_back(ray(45.0 * k, 10800, k % 4 == 0 ? horizontalReach : 18000));
  return e;
}

// The 文 of the schools (without its circle) at the height and width given.
std::vector<Entity> schoolLines(double footX, double footY, double armX, double barX, double barY, double stemTop) {
  return {line({-footX, footY}, {armX, barY}), line({footX, footY}, {-armX, barY}), line({-barX, barY}, {barX, barY}),
          line({0, barY}, {0, stemTop})};
}

std::vector<Pt> palmTrunk() { return {{0, 12160.93031}, {0, -15422.4}, {15422.4, -15422.4}}; }

// ---------------------------------------------------------------------------------------

std::vector<Symbol> buildSymbols() {
  std::vector<Symbol> s;
  auto add = [&](std::string_view name, std::vector<Entity> e) { s.push_back({name, std::move(e)}); };

  add("三角点", {polyline({{0, 18000}, {-15588.457268, -9000}, {15588.457268, -9000}}, true), dot({0, 0}, 1440)});
  add("水準点", {dot({0, 0}, 1920), polyline({{-12000, -12000}, {12000, -12000}, {12000, 12000}, {-12000, 12000}}, true)});
  add("電子基準点", {dot({0, 0}, 2400),
                     polyline({{0, 14400},
                               {-12470.765814, -7200},
                               {12470.765814, -7200},
                               {0, 14400},
                               {0, 36000},
                               {5760, 30240},
                               {11520, 36000},
                               {17280, 30240},
                               {23040, 36000}},
                              false)});
  add("市役所", {circle(15000), circle(22500)});
  add("町村役場", {circle(18000)});
  add("官公署", {circle(15000), line({0, 30000}, {0, 15000}), dot({10781.083613, 22459.786835}, 2400),
                 dot({-10781.083613, 22459.786835}, 2400, 22459.786835 - 25 * 2400, /*clockwise=*/true)});
  add("裁判所", {polyline({{0, -18000}, {0, -688.32}, {-10789.706583, -688.32}, {0, 18000}, {10789.706583, -688.32}, {0, -688.32}},
                          false)});
  add("税務署", {line({0, -7149.09888}, {0, -17872.7472}),
                 polyline({{0, 17872.7472}, {0, 7149.09888}, {-17872.7472, 0}, {0, -7149.09888}, {17872.7472, 0}, {0, 7149.09888}},
                          false)});
  add("森林管理署", forestOffice());
  add("気象台", {line({-14400, 14400}, {14400, 14400}), line({0, 14400}, {0, -18000}), line({14400, 16358.4}, {14400, 12441.6}),
                 line({-14400, 16358.4}, {-14400, 12441.6})});
  add("消防署", {line({0, -18000}, {0, 3985.6}),
                 polyline(arcThrough({-13999.99994, 17984.301349}, {0, 3985.6}, {13999.99994, 17984.301349}, 17), false)});
  add("保健所", {line({-14400, 0}, {14400, 0}), line({0, 14400}, {0, -14400}), circle(18000)});
  add("警察署", {circle(18000), line({-12727.922061, -12727.922061}, {12727.922061, 12727.922061}),
                 line({-12727.922061, 12727.922061}, {12727.922061, -12727.922061})});
  add("交番", {line({-9743.573719, 18000}, {9743.573719, -18000}), line({9743.573719, 18000}, {-9743.573719, -18000})});
  add("郵便局", {line({-18000, 0}, {18000, 0}), line({0, 0}, {0, -18000}), line({15588.457268, 9000}, {-15588.457268, 9000}),
                 circle(18000)});
  {
    auto e = schoolLines(12727.922061, -12727.922061, 10904.176505, 14321.275598, 10904.176505, 18000);
    e.push_back(circle(18000));
    add("高等学校", std::move(e));
  }
  add("博物館", {line({-18000, -10800}, {18000, -10800}), line({-18000, 10800}, {18000, 10800}),
                 line({-16200, 10800}, {0, 20000}), line({0, 20000}, {16200, 10800}), line({-16200, -10800}, {-16200, 10800}),
                 line({-5400, -10800}, {-5400, 10800}), line({5400, -10800}, {5400, 10800}),
                 line({16200, -10800}, {16200, 10800})});
  add("神社", {line({12990.381057, 15000}, {-12990.381057, 15000}), line({8400, 15000}, {8400, -15000}),
               line({-8400, 15000}, {-8400, -15000}), line({-8400, 5791.341655}, {8400, 5791.341655})});
  {
    const double a = 10182.337649;
    std::vector<Entity> e{polyline({{-a, -a}, {a, -a}, {a, a}, {-a, a}}, true)};
    for (Pt c : {Pt{1, 1}, Pt{-1, 1}, Pt{-1, -1}, Pt{1, -1}}) e.push_back(line({c.x * a, c.y * a}, {c.x * 18000, c.y * 18000}));
    add("高塔", std::move(e));
  }
  add("記念碑", {polyline(monumentOutline(), false)});
  add("煙突", {line({0, 3806.511989}, {0, -18000}), line({-5040, 3806.511989}, {-5040, -18000}),
               line({-5040, 3806.511989}, {0, 3806.511989}), line({-1800, 6600}, {3600, 9600}), line({0, 11400}, {6600, 14400}),
               line({2400, 16200}, {10200, 19200}), line({-11407.47081, -18000}, {11407.47081, -18000})});
  add("油田", {line({-12727.922061, 18000}, {-12727.922061, -18000}), line({12727.922061, 18000}, {12727.922061, -18000}),
               line({-18000, 12727.922061}, {18000, 12727.922061}), line({-18000, -12727.922061}, {18000, -12727.922061})});
  {
    std::vector<Entity> e{circle(14400)};
    for (int k = 0; k < 8; ++k) e.push_back(ray(45.0 * k, 14400, 24000));
    e.push_back(dot({0, 0}, 1920));
    add("灯台", std::move(e));
  }
  {
    std::vector<Entity> e{line({0, 0}, {0, -30000}), circle(6000, {0, 6000})};
    for (double deg : {90.0, 210.0, 330.0}) {
      const double a = rad(deg);
      e.push_back(line({6000 * std::cos(a), 6000 + 6000 * std::sin(a)}, {24000 * std::cos(a), 6000 + 24000 * std::sin(a)}));
    }
    e.push_back(line({-6000, -30000}, {6000, -30000}));
    add("風車", std::move(e));
  }
  add("フェリー", {line({-10392.305071, -14627.85973}, {10392.30462, -14627.85973}), polyline(boatOutline(), true)});
  add("その他の旅客船", {polyline(boatOutline(), true)});
  add("墓地", {line({0, 18000}, {0, -18000}), line({-7200, -18000}, {7200, -18000})});
  add("自衛隊", {line({-10800, -18000}, {-10800, 18000}),
                 polyline({{-10800, 18000}, {-10800, -4805.434279}, {18000, -4805.434279}, {18000, 18000}}, true),
                 line({18000, 6597.282861}, {-10800, 6597.282861})});
  add("工場", gear(18000));
  {
    auto e = gear(21600);
    e.push_back(line({21600, 0}, {21600, 18000}));
    e.push_back(line({-21600, -18000}, {-21600, 0}));
    add("発電所", std::move(e));
  }
  add("温泉", {bowl(), polyline(steam(-12000, -2400, 24000, 23), false), polyline(steam(12000, -2400, 24000, 23), false),
               polyline(steam(0, -2400, 28800, 24), false)});
  {
    // The crater floor: six lines across the bowl, each 80 % of the bowl's width at its
    // height (semi-axes 30000 and 12677.19 about (0, −17322.805484)).
    std::vector<Entity> e;
    const double cy = -17322.805484, a = 30000, b = 30000 * 0.422573;
    for (int k = 0; k < 6; ++k) {
      const double y = -27000 + 3800 * k, t = (y - cy) / b;
      const double half = std::round(0.8 * a * std::sqrt(1 - t * t));
      e.push_back(line({-half, y}, {half, y}));
    }
    e.push_back(bowl());
    add("噴火口", std::move(e));
  }
  {
    const Pt a0{12991.431626, 24000}, a1{-12991.431626, -24000};
    const Pt b0{-12991.431626, 24000}, b1{12991.431626, -24000};
    add("採鉱地", {line(a0, a1), line(b0, b1), pickHead(a1, a0), pickHead(b1, b0)});
  }
  add("城跡", {polyline({{-18000, -18000},
                         {-18000, 7200},
                         {-7200, 7200},
                         {-7200, 18000},
                         {7200, 18000},
                         {7200, 7200},
                         {18000, 7200},
                         {18000, -18000}},
                        false)});
  add("重要港", anchor(Stocks::two, Ring::open));
  add("地方港", anchor(Stocks::one, Ring::open));
  add("漁港", anchor(Stocks::one, Ring::solid));
  add("史跡", {dot({0, 19200}, 3840), dot({16627.687753, -9600}, 3840), dot({-16627.687753, -9600}, 3840)});
  add("国道番号", {solid({{{"41618.557393", "22994.331345"},
                           {"-41618.557391", "22994.331349"},
                           {"50498.94241538536", "7613.053295790116"},
                           {"-50498.94241756063", "7613.053292566532"}}}),
                   solid({{{"50498.942415", "7613.053296"},
                           {"-50498.942418", "7613.053293"},
                           {"8880.385022442075", "-64472.40264650923"},
                           {"-8880.385026321528", "-64472.40264678107"}}})});
  // Mast with a zigzag aerial on top of the circle.
  add("電波塔", {polyline({{0, 11760}, {0, 22000}, {-6000, 26000}, {6000, 30000}, {-6000, 34000}, {0, 36000}}, false),
                 circle(11760)});
  add("小学校", schoolLines(14677.370266, -13363.497298, 11354.740533, 14623.091074, 10338.299142, 15282.434799));
  add("病院", {polyline({{-12000, 18000}, {-12000, -6014.4}, {0, -18014.4}, {12000, -6014.4}, {11986.907562, 17986.907562}}, true),
               line({-6.243549, 14776.702627}, {0, -8860.537041}), line({-9524.981851, 2958.082793}, {9515.315891, 2958.082793})});
  add("標高点", {dot({0, 0}, 1920)});
  add("田園", {line({5000, -7500}, {5000, 7500}), line({-5000, -7500}, {-5000, 7500})});
  add("畑", {polyline({{-10800, 5400}, {0, -5400}, {10800, 5400}}, false)});
  add("桑畑", {polyline({{-10800, 10800}, {0, 0}, {10800, 10800}}, false), polyline({{0, 0}, {0, -10800}, {10800, -10800}}, false)});
  add("茶畑", {dot({0, 9720}, 864), dot({8417.766925, -4860}, 864), dot({-8417.766925, -4860}, 864)});
  add("ハイマツ地", {polyline({{-10800, 2700}, {0, -8100}, {10800, 2700}}, false), line({0, 8100}, {0, -8100})});
  add("荒地", {line({0, 10761.300433}, {0, -10761.300433}), line({8553.6, -10761.300433}, {8553.6, 2356.480293}),
               line({-8553.6, -10761.300433}, {-8553.6, 2356.480293})});
  add("図書館", {line({-2953.35496, 16550.532384}, {2953.35496, -16550.532384}), polyline(bookOutline(), false)});
  add("笹地", {line({2969.125068, 8152.500328}, {9927.779208, 1193.846188}), line({-9927.779208, 1193.846188}, {-2969.125068, 8152.500328}),
               line({0, 8152.500328}, {0, -8152.500328})});
  add("果樹園", {line({0, 20000}, {0, 12500}), circle(12500)});
  add("その他の樹木畑", {circle(12500)});
  add("広葉樹林", {circle(12500), line({0, -12500}, {15000, -12500})});
  add("針葉樹林", {line({7297.818522, -15422.4}, {0, 15422.4}), line({-7297.818522, -15422.4}, {0, 15422.4}),
                   line({3380.047247, -15422.4}, {15009.018522, -15422.4})});
  add("竹林", {line({-10905.283622, 4517.116378}, {-3261.46969, 12160.93031}), line({3261.46969, 12160.93031}, {10905.283622, 4517.116378}),
               polyline(palmTrunk(), false)});
  // The crown: one arc from the given right tip over the top of the trunk to the mirrored tip.
  add("ヤシ科樹林", {polyline(palmTrunk(), false),
                     polyline(arcThrough({15213.588056, 10959.405803}, {0, 12160.93031}, {-15213.588056, 10959.405803}, 11), false)});
  add("寺院", {polyline({{-13000, -13000}, {-13000, 0}, {13000, 0}, {13000, 13000}}, false),
               polyline({{13000, -13000}, {0, -13000}, {0, 13000}, {-13000, 13000}}, false)});
  add("老人ホーム", {line({0, 18202.860005}, {16200, 11002.860005}), line({0, 18202.860005}, {-16200, 11002.860005}),
                     line({14400, -14400}, {14400, 11802.860005}), line({-14400, -14400}, {-14400, 11802.860005}),
                     line({18000, -14400}, {-18000, -14400}), polyline(caneOutline(), false)});
  {
    const double a = 212.132034;
    add("砂礫地", {solid({-a, -a}, {a, -a}, {-a, a}, {a, a})});
  }
  const auto university = [] {
    return schoolLines(18000, -29400.196386, 11354.740533, 14623.091074, -5698.399946, -754.264289);
  };
  {
    auto e = university();
    e.push_back(schoolText("-33094.133697", "（大）"));
    add("大学", std::move(e));
  }
  {
    auto e = university();
    e.push_back(schoolText("-49637.107776", "（短大）"));
    add("短大", std::move(e));
  }
  {
    auto e = university();
    e.push_back(schoolText("-33094.133697", "（専）"));
    add("専門学校", std::move(e));
  }
  return s;
}

const std::vector<Symbol>& symbols() {
  static const std::vector<Symbol> s = buildSymbols();
  return s;
}

void blockHead(dxfio::DxfWriter& w, std::uint32_t handle, std::uint32_t record, std::string_view name) {
  w.pair(0, "BLOCK");
  w.handle(5, handle);
  w.handle(330, record);
  w.pairs({{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}});
  w.pair(2, name);
  w.pairs({{70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}});
  w.pair(3, name);
}

void blockEnd(dxfio::DxfWriter& w, std::uint32_t handle, std::uint32_t record) {
  w.pair(0, "ENDBLK");
  w.handle(5, handle);
  w.handle(330, record);
  w.pairs({{100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}});
}

}  // namespace

const std::vector<std::string_view>& meshCellBlockNames() {
  static const std::vector<std::string_view> names{"5M", "10M", "50M", "250M", "1500M"};
  return names;
}

const std::vector<std::string_view>& symbolBlockNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> n;
    for (const Symbol& s : symbols()) n.push_back(s.name);
    return n;
  }();
  return names;
}

void writeLibraryBlockRecords(dxfio::DxfWriter& w) {
  std::uint32_t record = kFirstLibraryRecord;
  auto write = [&](std::string_view name) {
    w.pair(0, "BLOCK_RECORD");
    w.handle(5, record++);
    w.pairs({{330, "12"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}});
    w.pair(2, name);
    w.pairs({{340, "0"}});
  };
  for (std::string_view name : meshCellBlockNames()) write(name);
  for (std::string_view name : symbolBlockNames()) write(name);
}

void writeSpaceBlocks(dxfio::DxfWriter& w) {
  w.pairs({{0, "BLOCK"}, {5, "15"}, {330, "13"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "*Model_Space"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "*Model_Space"}, {1, ""}, {0, "ENDBLK"}, {5, "16"}, {330, "13"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"}, {0, "BLOCK"}, {5, "17"}, {330, "14"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "*Paper_Space"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "*Paper_Space"}, {1, ""}, {0, "ENDBLK"}, {5, "18"}, {330, "14"}, {100, "AcDbEntity"}, {67, "1"}, {8, "0"}, {100, "AcDbBlockEnd"}});
}

void writeLibraryBlocks(dxfio::DxfWriter& w, const MeshCellHalfSizes& cells) {
  std::uint32_t record = kFirstLibraryRecord;
  std::uint32_t handle = kFirstLibraryHandle;

  const auto& meshNames = meshCellBlockNames();
  for (std::size_t i = 0; i < meshNames.size(); ++i) {
    const double factor = i == 4 ? 6 : 1;
    const std::size_t source = i == 4 ? 3 : i;
    const std::string hw = dxfio::formatReal(factor * cells.halfWidth[source]), mw = dxfio::formatReal(-factor * cells.halfWidth[source]);
    const std::string hh = dxfio::formatReal(factor * cells.halfHeight[source]), mh = dxfio::formatReal(-factor * cells.halfHeight[source]);
    blockHead(w, handle++, record, meshNames[i]);
    w.pairs({{1, ""}});
    entityHead(w, "SOLID", handle++, record, "0");
    w.pairs({{100, "AcDbTrace"}});
    const std::pair<const std::string&, const std::string&> corners[] = {{mw, mh}, {hw, mh}, {mw, hh}, {hw, hh}};
    for (int k = 0; k < 4; ++k) {
      w.pair(10 + k, corners[k].first);
      w.pair(20 + k, corners[k].second);
      w.pair(30 + k, "0");
    }
    blockEnd(w, handle++, record);
    ++record;
  }

  for (const Symbol& s : symbols()) {
    blockHead(w, handle++, record, s.name);
    for (const Entity& e : s.entities) {
      entityHead(w, e.type, handle++, record, "0");
      for (const auto& [code, value] : e.body) w.pair(code, value);
    }
    blockEnd(w, handle++, record);
    ++record;
  }
}

}  // namespace sheet
