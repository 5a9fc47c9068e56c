#include "converter/elevation/grid_analysis.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "converter/sheet/run_context.h"

namespace elevation {

namespace {

using sheet::ProgressLine;

constexpr std::array<double, 11> kBottomBias = {-1, 0.1, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// Integer part, truncating towards zero.
double whole(double value) { return std::trunc(value); }

struct Step {
  double from;  // the step applies from this interval (metres) up
  double step;
};
// Thin contours only: a step chosen by the interval's size.
constexpr std::array<Step, 17> kThinSteps = {{{0.1, 0.02},
                                              {0.25, 0.05},
                                              {0.5, 0.1},
                                              {1, 0.2},
                                              {2.5, 0.5},
                                              {5, 1},
                                              {10, 2},
                                              {25, 5},
                                              {50, 10},
                                              {100, 20},
                                              {250, 50},
                                              {500, 100},
                                              {1000, 200},
                                              {2500, 500},
                                              {5000, 1000},
                                              {10000, 2000},
                                              {25000, 5000}}};

double snapThin(double interval) {
  if (interval >= 50000) return whole(interval);
  double step = 0.01;
  for (const auto& s : kThinSteps)
    if (interval >= s.from) step = s.step;
  if (interval >= 5 && interval < 10) return whole(interval);
  return whole(interval / step + 0.01) * step;
}

struct Band {
  long long upTo;  // last interval in centimetres of the band
  double value;
};
// Intervals that divide 5 x 10^n (thick contours on the fives).
const std::array<Band, 30> kFiveBands = {
    {{1, 0.01},      {2, 1.0 / 60},        {3, 0.025},     {7, 0.05},      {11, 0.1},
     {14, 0.125},    {20, 1.0 / 6},        {37, 0.25},     {75, 0.5},      {112, 1},
     {145, 1.25},    {208, 5.0 / 3},       {375, 2.5},     {750, 5},       {1125, 10},
     {1458, 12.5},   {2083, 50.0 / 3},     {3750, 25},     {7500, 50},     {11250, 100},
     {14553, 125},   {20833, 500.0 / 3},   {37500, 250},   {75000, 500},   {112500, 1000},
     {145833, 1250}, {208333, 5000.0 / 3}, {375000, 2500}, {750000, 5000}, {-1, 0}}};
// Intervals that divide 10^n (thick contours on the tens).
const std::array<Band, 36> kTenBands = {{{1, 0.01},
                                         {2, 0.02},
                                         {3, 0.025},
                                         {7, 0.05},
                                         {11, 0.1},
                                         {14, 0.125},
                                         {18, 1.0 / 6},
                                         {22, 0.2},
                                         {37, 0.25},
                                         {75, 0.5},
                                         {112, 1},
                                         {145, 1.25},
                                         {183, 5.0 / 3},
                                         {225, 2},
                                         {375, 2.5},
                                         {750, 5},
                                         {1125, 10},
                                         {1458, 12.5},
                                         {1833, 50.0 / 3},
                                         {2250, 20},
                                         {3750, 25},
                                         {7500, 50},
                                         {11250, 100},
                                         {14553, 125},
                                         {18333, 500.0 / 3},
                                         {22500, 200},
                                         {37500, 250},
                                         {75000, 500},
                                         {112500, 1000},
                                         {145833, 1250},
                                         {183333, 5000.0 / 3},
                                         {225000, 2000},
                                         {375000, 2500},
                                         {750000, 5000},
                                         {-1, 0},
                                         {-1, 0}}};

template <std::size_t N>
double snapBands(double interval, const std::array<Band, N>& bands) {
  const long long v = static_cast<long long>(whole(interval * 100));
  for (const auto& b : bands) {
    if (b.upTo < 0) break;
    if (v <= b.upTo) return b.value;
  }
  return whole(interval);
}

}  // namespace

LegendLadder legendLadder(int contourSource, int rule) {
  if (contourSource < 0) return LegendLadder::thinOnly;
  switch (rule) {
    case 2:
    case 4:
    case 6: return LegendLadder::fives;  // 5m, 50m, 500m台を太く
    case 1:
    case 3:
    case 5:
    case 7: return LegendLadder::tens;       // 1m, 10m, 100m, 1000m台を太く
    default: return LegendLadder::thinOnly;  // すべて細く
  }
}

double snapLegendInterval(double interval, LegendLadder ladder) {
  switch (ladder) {
    case LegendLadder::fives: return snapBands(interval, kFiveBands);
    case LegendLadder::tens: return snapBands(interval, kTenBands);
    default: return snapThin(interval);
  }
}

std::string legendValueText(double value) {
  if (value == 0) value = 0;  // no "-0"
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  return ec == std::errc() ? std::string(buf, p) : std::string("0");
}

void analyseLegend(sheet::RunContext& ctx) {
  ctx.progress(ProgressLine::Phase, "最高最低標高値解析 ");
  const auto& g = ctx.elevationGrid;
  const auto& s = ctx.settings;

  // Samples inside the window, its border rows and columns left out.
  const double floor = g.datumOffset - 9998;
  const geo::CellWindow& w = g.innerWindow;
  const int r0 = std::max(w.firstRow + 1, 0), r1 = std::min(w.endRow - 1, g.rowCount);
  const int c0 = std::max(w.firstColumn + 1, 0), c1 = std::min(w.endColumn - 1, g.columnCount);
  double hi = -1e38, lo = 1e38;
  std::int64_t n = 0;
  for (int r = r0; r < r1; ++r)
    for (int c = c0; c < c1; ++c) {
      const double z = g.cell(r, c);
      if (z > floor) {
        hi = std::max(hi, z);
        lo = std::min(lo, z);
        ++n;
      }
    }
  // Histogram.
  if (hi == lo) hi = lo + 1.5;
  std::array<std::int64_t, 101> bins{};
  for (int r = r0; r < r1 && n > 0; ++r)
    for (int c = c0; c < c1; ++c) {
      const double z = g.cell(r, c);
      if (!(z > floor)) continue;
      int bin = z == hi ? 100 : static_cast<int>(whole(((z - lo) / (hi - lo) + 0.001) * 100));
      bins[static_cast<std::size_t>(std::clamp(bin, 0, 100))]++;
    }
  // First bin at which the count below it reaches the threshold; 101 past the last.
  auto firstBinReaching = [&bins](double threshold) {
    std::int64_t below = 0;
    for (int k = 0; k <= 100; ++k) {
      if (static_cast<double>(below) >= threshold) return k;
      below += bins[static_cast<std::size_t>(k)];
    }
    return 101;
  };

  // Bottom and interval.
  const double steps = ctx.values.legendStepCount;
  const double bias = kBottomBias[static_cast<std::size_t>(std::clamp(s.legendBottomBias, 0, 10))];
  const int p = std::clamp(s.legendIntervalBias, 0, 10);
  const int k = firstBinReaching(static_cast<double>(n) * bias / (steps + 1));
  double bottom = lo + k * (hi - lo) / 100;
  const int m = firstBinReaching(0.99 * static_cast<double>(n));
  double interval = (m - k) / 99.0 * (hi - lo) / steps * p / 5 * 1.2;
  if (interval < 0.01) interval = 0.01;

  // A round interval.
  interval = snapLegendInterval(interval, legendLadder(s.contourSource, s.contourWeightRule));
  if (interval < 0.01) interval = 0.01;

  // A grid without samples leaves the bottom far above any land: keep the tables.
  if (!(bottom < 999999999)) return;
  // The top legend level should not lie above the highest sample.
  if (p == 5 && steps != 1 && hi < bottom + (steps - 1) * interval) bottom = hi - (steps - 1) * interval;
  bottom = steps < 2 ? whole(bottom * 100) / 100 : whole(bottom / interval) * interval;
  // Written back in drawing units.
  const double u = ctx.values.unitsPerMetre;
  ctx.settings.legendIntervals.setCell(ctx.sheetRow, ctx.sheetColumn, legendValueText(interval * u));
  ctx.settings.legendBottoms.setCell(ctx.sheetRow, ctx.sheetColumn, legendValueText(bottom * u));
}

double xytoz(sheet::RunContext& ctx, double xxx, double yyy) {
  const auto& g = ctx.elevationGrid;
  auto& coords = ctx.coordinates;
  if (coords.xytobl(xxx, yyy)) {
    const double c = whole((coords.lastLongitude - g.gridWest) / g.cellWidth);
    const double r = whole((g.gridNorth - coords.lastLatitude) / g.cellHeight);
    if (c >= 0 && c < g.columnCount && r >= 0 && r < g.rowCount)
      return g.cell(static_cast<int>(r), static_cast<int>(c));
  }
  ctx.reportOnce("標高位置解析で異常値が検出されました。\r\n設定値を保存し、作者にご連絡いただけると幸いです。");
  return g.datumOffset - 99999;
}

}  // namespace elevation
