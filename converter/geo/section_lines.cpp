#include "converter/geo/section_lines.h"

#include <algorithm>
#include <cmath>

namespace geo {

namespace {

constexpr double kPi = 3.14159265358979323846;

PointPair plus(PointPair a, PointPair b, double k) { return {a.x + k * b.x, a.y + k * b.y}; }
PointPair between(PointPair a, PointPair b, double f) { return {(1 - f) * a.x + f * b.x, (1 - f) * a.y + f * b.y}; }
double radians(int angleTenths) { return angleTenths / 10.0 * kPi / 180; }

}  // namespace

bool nearHorizontal(int angle) {
  // 1800m - 450 <= angle < 1800m + 450 for some whole m.
  const int m = static_cast<int>(std::floor((angle + 450) / 1800.0));
  return 1800 * m - 450 <= angle && angle < 1800 * m + 450;
}

SectionCorners sectionCorners(const SheetFrame& sheet, int angle) {
  const double W = sheet.width, H = sheet.height, theta = radians(angle);
  const double cs = std::cos(theta), sn = std::sin(theta);
  const PointPair u{cs, sn}, w{-sn, cs}, c = sheet.centre;
  const bool flat = nearHorizontal(angle);
  const double a = flat ? W : H, b = flat ? H : W;
  const double s = std::min(W / (a * std::fabs(cs) + b * std::fabs(sn)), H / (a * std::fabs(sn) + b * std::fabs(cs)));
  return {plus(plus(c, u, -s * a / 2), w, s * b / 2), plus(plus(c, u, -s * a / 2), w, -s * b / 2),
          plus(plus(c, u, s * a / 2), w, -s * b / 2), plus(plus(c, u, s * a / 2), w, s * b / 2)};
}

std::vector<SectionLine> sectionLines(const SheetFrame& sheet, int angle, int count) {
  const double W = sheet.width, H = sheet.height, theta = radians(angle);
  const PointPair c = sheet.centre;
  const int N = std::max(count, 1);
  std::vector<SectionLine> lines;
  if (N == 1) {
    const double cs = std::cos(theta), sn = std::sin(theta), tn = std::tan(theta);
    PointPair a, b;
    if (std::fabs(tn) < H / W) {
      a = {c.x - W / 2, c.y - tn * W / 2};
      b = {c.x + W / 2, c.y + tn * W / 2};
      if (!(cs > 0)) std::swap(a, b);
    } else {
      a = {c.x - (H / 2) / tn, c.y - H / 2};
      b = {c.x + (H / 2) / tn, c.y + H / 2};
      if (!(sn > 0)) std::swap(a, b);
    }
    lines.push_back({a, b});
    return lines;
  }
  const SectionCorners k = sectionCorners(sheet, angle);
  for (int i = 0; i < N; ++i) {
    const double f = static_cast<double>(i) / (N - 1);
    lines.push_back({between(k.c1, k.c2, f), between(k.c4, k.c3, f)});
  }
  return lines;
}

}  // namespace geo
