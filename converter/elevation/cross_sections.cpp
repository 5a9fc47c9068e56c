#include "converter/elevation/cross_sections.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "converter/elevation/grid_analysis.h"
#include "platform/numbers.h"

namespace elevation {

namespace {

using dxfio::Vertex;
using sheet::Point3;

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kDiagramLayer = "999danmenzu";
constexpr const char* kLabelLayer = "998hyoko";

// A number with `decimals` places, thousands grouped by commas when asked.
std::string numberText(double value, int decimals, bool thousands) {
  std::string text = platform::formatNumber(decimals == 0 ? "%.0f" : decimals == 1 ? "%.1f" : "%.2f", value);
  // No minus sign on a value that rounds to zero.
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  if (!thousands) return text;
  const std::size_t sign = text[0] == '-' ? 1 : 0;
  std::size_t end = text.find('.');
  if (end == std::string::npos) end = text.size();
  for (std::size_t at = end; at > sign + 3; at -= 3) text.insert(at - 3, ",");
  return text;
}

// "0.#": one decimal, left out when it is zero.
std::string optionalDecimal(double value) {
  std::string text = numberText(value, 1, false);
  if (text.ends_with(".0")) text.resize(text.size() - 2);
  return text;
}

}  // namespace

std::vector<SectionLine> sectionLines(const sheet::RunContext& ctx) {
  const auto& v = ctx.values;
  const geo::SheetFrame sheet{{ctx.sheetWest + v.sheetWidth / 2, ctx.sheetNorth - v.sheetHeight / 2}, v.sheetWidth,
                              v.sheetHeight};
  std::vector<SectionLine> lines;
  for (const auto& line : geo::sectionLines(sheet, ctx.settings.crossSectionAngle, ctx.settings.crossSectionCount))
    lines.push_back({{line.from.x, line.from.y}, {line.to.x, line.to.y}});
  return lines;
}

void writeCrossSections(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  const auto& v = ctx.values;
  const auto& g = ctx.elevationGrid;
  const int angle = ctx.settings.crossSectionAngle;
  const double theta = angle / 10.0;
  const bool flat = nearHorizontal(angle);
  const double I = ctx.sheetLegendInterval[static_cast<std::size_t>(ctx.sheetIndex)];
  const double B = ctx.sheetLegendBottom[static_cast<std::size_t>(ctx.sheetIndex)];
  const int S = v.legendStepCount;
  const double U = v.unitsPerMetre, E = v.exaggeration;
  const double Q = std::trunc(S * I * U * E);
  const auto lines = sectionLines(ctx);
  const std::size_t N = lines.size();
  double t = 0.03 * (ctx.sheetNorth - ctx.sheetSouth);
  if (N > 1) {
    const double dx = lines[N - 1].from.x - lines[0].from.x, dy = lines[N - 1].from.y - lines[0].from.y;
    t = std::min(t, 0.8 * std::hypot(dx, dy) / static_cast<double>(N - 1));
  }
  const double xs = ctx.sheetWest;
  const double L = std::hypot(lines.back().to.x - lines.back().from.x, lines.back().to.y - lines.back().from.y);
  auto& dxf = out.dxf();
  // A right- and middle-justified text whose alignment point is its insertion point.
  auto justified = [&](Point3 at, double height, const std::string& text, double rotation) {
    out.textStart(kDiagramLayer, at, height);
    dxf.pair(1, text);
    dxf.pair(50, rotation);
    dxf.pair(72, 2);
    out.textAlignment(at);
    out.textEnd(2);
  };
  for (std::size_t k = 0; k < N; ++k) {
    const Vertex A = lines[k].from, Bk = lines[k].to;
    const double yk = std::trunc(ctx.sheetNorth - v.sheetStepHeight - (static_cast<double>(k) + 2) * Q * 1.1 -
                                 0.1 * v.sheetStepHeight);
    const std::string coordinate = numberText((flat ? A.y : A.x) / U, 0, true);
    out.line(kDiagramLayer, {Bk.x, Bk.y, 0}, {A.x, A.y, 0});
    justified({A.x, A.y, 0}, t, coordinate, theta);

    sheet::PolylineStyle frameStyle;
    frameStyle.lineweight = 0;
    frameStyle.width = 0;
    const Vertex frame[] = {{xs, yk + Q}, {xs, yk}, {xs + L, yk}, {xs + L, yk + Q}};
    out.lwpolyline(kDiagramLayer, frame, false, frameStyle);

    const double span =
        flat ? (std::fabs(Bk.x - A.x) + 1) / v.meshCellWidth : (std::fabs(Bk.y - A.y) + 1) / v.meshCellHeight;
    // A section shorter than a cell is still sampled at both ends.
    const long long V = std::max<long long>(1, std::isfinite(span) ? static_cast<long long>(std::trunc(span)) : 1);
    std::vector<double> z(static_cast<std::size_t>(V) + 1);
    std::vector<Vertex> samples(z.size()), profile;
    double area = 0;
    bool valid = true;
    for (long long n = 0; n <= V; ++n) {
      const double f = static_cast<double>(n) / static_cast<double>(V);
      samples[static_cast<std::size_t>(n)] = {A.x + f * (Bk.x - A.x), A.y + f * (Bk.y - A.y)};
      const double zn = xytoz(ctx, samples[static_cast<std::size_t>(n)].x, samples[static_cast<std::size_t>(n)].y);
      z[static_cast<std::size_t>(n)] = zn;
      profile.push_back({xs + static_cast<double>(n) * L / static_cast<double>(V), (zn - B) * U * E + yk});
      area += (zn - B) * (L / static_cast<double>(V)) * (n == 0 || n == V ? 1 : 2);
      if (zn < B) valid = false;
    }
    profile.push_back({xs + L, yk});
    profile.push_back({xs, yk});
    out.lwpolyline(kDiagramLayer, profile, true, frameStyle);

    justified({xs - Q / 2, yk + Q / 2, 0}, 0.06 * Q, coordinate, 0);
    if (valid && area > 0)
      justified({xs - Q / 2, yk + Q / 3, 0}, 0.06 * Q, numberText(area / 2 / U, 2, true) + "㎡", 0);
    justified({xs - Q / 2, yk + Q / 6, 0}, 0.06 * Q, numberText(theta, 1, false) + "度　縦横比" + optionalDecimal(E),
              0);

    const double d = S * I / 8;
    for (int m = 0; m <= 8; ++m) {
      const double y = yk + m * d * U * E;
      out.line(kDiagramLayer, {xs - 0.05 * Q, y, 0}, {xs, y, 0});
      justified({xs - 0.05 * Q, y, 0}, 0.04 * Q, optionalDecimal(m * d + B), 0);
    }

    for (std::size_t n = 0; n < samples.size(); ++n) {
      if (!(z[n] > g.datumOffset - 9998)) continue;
      const std::string text = platform::formatNumber("%1.2f", z[n]);
      out.textStart(kLabelLayer, {samples[n].x, samples[n].y, 0}, v.meshCellWidth / 8);
      dxf.pair(1, text);
      dxf.pair(50, theta + 45);
      out.textEnd();
    }
  }
}

}  // namespace elevation
