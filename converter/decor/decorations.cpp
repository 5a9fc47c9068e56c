#include "converter/decor/decorations.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace decor {

namespace {

using sheet::Point3;

constexpr int kAllContours = 1;  // "すべての等高線"

// Writes the furniture in its space: paper entities, or drawing entities moved by (x0, y0).
class Furniture {
 public:
  Furniture(sheet::RunContext& ctx, sheet::EntityWriter& out) : out_(out), dxf_(out.dxf()) {
    const auto& v = ctx.values;
    const auto& s = ctx.settings;
    const auto f = out.flavour();
    paper_ = f == geo::Flavour::trueColour || f == geo::Flavour::palette255;
    if (paper_) return;
    const double g = ctx.legendGridUnit, scale = v.unitsPerPaperMillimetre;
    x0_ = ctx.sheetColumn * v.sheetStepWidth + v.westEdge - (s.marginLeft + 7.25 + 30) * g -
          v.usableWidthMm / 2 * scale + v.sheetWidth / 2;
    // The middle of the page on the middle of the sheet, in y as in x: half the sheet's
    // height below its north edge (half a step would lift the furniture onto the map by
    // half the overlap of neighbouring sheets).
    y0_ = v.northEdge - ctx.sheetRow * v.sheetStepHeight - v.sheetHeight / 2 - v.pageHeightMm * 0.5 * scale;
  }

  void head(std::string_view type, std::string_view layer) {
    if (paper_)
      out_.paperHead(type, layer);
    else
      out_.modelHead(type, layer);
  }
  // A LINE; `z` spells both heights ("0", or "0.0" for the datum mark).
  void line(double x1, double y1, double x2, double y2, std::string_view z = "0") {
    head("LINE", "0");
    dxf_.pair(6, "Continuous");
    dxf_.pair(100, "AcDbLine");
    dxf_.pair(10, x1 + x0_);
    dxf_.pair(20, y1 + y0_);
    dxf_.pair(30, z);
    dxf_.pair(11, x2 + x0_);
    dxf_.pair(21, y2 + y0_);
    dxf_.pair(31, z);
  }
  // A TEXT up to its value; the caller adds alignment groups and ends it with textEnd.
  void textStart(std::string_view layer, double x, double y, double height, std::string_view value,
                 bool markerColours = false) {
    head("TEXT", layer);
    if (markerColours) {
      dxf_.pair(62, 7);
      dxf_.pair(370, 0);
    }
    dxf_.pair(100, "AcDbText");
    point(10, x, y);
    dxf_.pair(40, height);
    dxf_.pair(1, value);
  }
  void textEnd(std::optional<int> verticalAlignment = std::nullopt) { out_.textEnd(verticalAlignment); }
  // A TEXT without alignment.
  void text(std::string_view layer, double x, double y, double height, std::string_view value,
            bool markerColours = false) {
    textStart(layer, x, y, height, value, markerColours);
    textEnd();
  }
  void point(int code, double x, double y) {
    dxf_.pair(code, x + x0_);
    dxf_.pair(code + 10, y + y0_);
    dxf_.pair(code + 20, 0);
  }
  void solid(std::string_view layer, const dxfio::Vertex (&c)[4], const std::optional<geo::Colour>& colour) {
    const Point3 corners[4] = {{c[0].x + x0_, c[0].y + y0_, 0},
                               {c[1].x + x0_, c[1].y + y0_, 0},
                               {c[2].x + x0_, c[2].y + y0_, 0},
                               {c[3].x + x0_, c[3].y + y0_, 0}};
    out_.solid(layer, corners, paper_, colour);
  }
  dxfio::DxfWriter& dxf() { return dxf_; }

 private:
  sheet::EntityWriter& out_;
  dxfio::DxfWriter& dxf_;
  bool paper_ = true;
  double x0_ = 0, y0_ = 0;
};

std::string sheetTitle(const sheet::RunContext& ctx) {
  const auto& v = ctx.values;
  if (v.singleSheet()) return ctx.settings.mapName;
  return ctx.settings.mapName + settings::rowst(ctx.sheetRow, " ", v.sheetRows) +
         settings::colst(ctx.sheetColumn, v.sheetColumns);
}

void northArrow(Furniture& f, const sheet::RunContext& ctx) {
  const auto& v = ctx.values;
  const double g = ctx.legendGridUnit, L = ctx.legendLeft;
  const double Yc =
      (ctx.settings.marginBottom + 0.025 * v.pageHeightMm + v.usableHeightMm / 2) * v.unitsPerPaperMillimetre;
  f.line(L - 4 * g, 1.1 * Yc, L - 4 * g, 0.95 * Yc);
  f.line(L - 4 * g, 1.1 * Yc, L - 3.5 * g, 1.05 * Yc);
  f.line(L - 4 * g, 1.1 * Yc, L - 4.5 * g, 1.05 * Yc);
  f.line(L - 5 * g, Yc, L - 3 * g, Yc);
  f.text("0", L - 4.7 * g, 1.11 * Yc, 1.5 * g, "北");
}

void scaleBar(Furniture& f, const sheet::RunContext& ctx) {
  const double g = ctx.legendGridUnit, mb = ctx.settings.marginBottom;
  const double unit = ctx.scaleBarUnit, start = ctx.scaleBarStart;
  const auto count = static_cast<double>(ctx.scaleBarCount);
  const double yb = (mb + 1) * g;
  f.line(start, yb, count * unit + start, yb);
  for (int k = 1; k <= 5; ++k) f.line(k * unit / 10 + start, yb, k * unit / 10 + start, (mb + 1.6) * g);
  for (long long k = 0; k <= ctx.scaleBarCount; ++k) {
    const double x = static_cast<double>(k) * unit + start;
    f.line(x, yb, x, (mb + 1.8) * g);
  }
  f.text("0", start - 0.4 * g, (mb + 2.3) * g, 1.8 * g, "0");
  f.text("0", count * unit + start, (mb + 2.3) * g, 1.8 * g, scaleBarText(count * unit / ctx.values.unitsPerMetre));
}

void elevationLegend(Furniture& f, const sheet::RunContext& ctx, geo::Flavour flavour) {
  const auto& s = ctx.settings;
  const auto& v = ctx.values;
  const double g = ctx.legendGridUnit, L = ctx.legendLeft;
  const int n = v.legendStepCount;
  const auto legend = ctx.sheetLegend();
  const double I = legend.interval, B0 = legend.bottom;
  if (n < 1 || !(I > 0)) return;
  const std::string prefix = s.meshSource >= 0 ? "標高MESH" : "等高線";
  auto layer = [&](double value) { return prefix + geo::legendLabel(legend, n, "_", value); };
  const double f0 = std::min(48.0 / n, 3.0) * g * (s.paperOrientation == 0 ? 1.5 : 1);
  const double Z = (s.marginBottom + 10) * g;

  for (int i = 0; i <= n; ++i) {
    std::optional<geo::Colour> colour;
    if (flavour == geo::Flavour::jwCad) colour = geo::Colour{geo::rgb(i, n, flavour, s.legendColourRamp).index, {}};
    const dxfio::Vertex c[4] = {{L - 17 * g, i * f0 + Z},
                                {L - 10 * g, i * f0 + Z},
                                {L - 17 * g, (i + 1) * f0 + Z},
                                {L - 10 * g, (i + 1) * f0 + Z}};
    f.solid(layer((i - 1) * I + B0), c, colour);
  }
  f.text("0", L - 17 * g, (n + 1) * f0 + Z + g, 2.5 * g, "標 高 (m)");

  const auto labels = legendLabels(n, I, B0, ctx.sheetLegend().decimals);
  // A legend without a positive step has no labels (the loop would never end).
  for (double value = labels.first; labels.step > 0 && B0 <= value + 0.005; value -= labels.step) {
    const double y = f0 / I * (value - B0) + Z + f0;
    const dxfio::Vertex marker[4] = {
        {L - 10 * g, y}, {L - 9 * g, y + 0.5 * g}, {L - 9 * g, y - 0.5 * g}, {L - 9 * g, y - 0.5 * g}};
    f.solid(layer(value), marker, std::nullopt);
    f.text(layer(value), L - 8 * g, y - 0.9 * g, 1.8 * g, platform::formatNumber(labels.format, value), true);
  }

  const double datum = v.datumOffset;
  if (n > 1 && B0 - I <= datum && datum <= n * I + B0) {
    const double yt = (datum - B0) * f0 / I + f0 + Z;
    f.line(L - 24 * g, yt, L - 17 * g, yt, "0.0");
    f.text("0", L - 22 * g, (datum - B0) * f0 / I + f0 + 1.1 * Z, 1.8 * g, "T.P");
  }
}

void informationColumn(Furniture& f, const sheet::RunContext& ctx, const std::string& title) {
  const auto& s = ctx.settings;
  const auto& v = ctx.values;
  const double g = ctx.legendGridUnit, x = (s.marginLeft + 7) * g, T = v.pageHeightMm * v.unitsPerPaperMillimetre;
  f.textStart("0", x, T - (s.marginTop + 0.6 - 3.1) * g, 3.1 * g, title);
  f.point(11, x, T - (s.marginTop + 0.6) * g);
  f.textEnd(3);

  auto line = [&](int k, const std::string& text) { f.text("0", x, T - (s.marginTop + k) * g, 1.8 * g, text); };
  const auto& systems = settings::coordinateSystemItems();
  const std::string system =
      s.coordinateSystem >= 0 && static_cast<std::size_t>(s.coordinateSystem) < systems.size()
          ? std::string(platform::firstCharacters(systems[static_cast<std::size_t>(s.coordinateSystem)], 6))
          : std::string();
  line(24, "世界測地系");
  line(28, system);
  line(32, "西 " + platform::formatGrouped(ctx.sheetWest));
  line(36, "南 " + platform::formatGrouped(ctx.sheetSouth));
  line(40, "東 " + platform::formatGrouped(ctx.sheetEast));
  line(44, "北 " + platform::formatGrouped(ctx.sheetNorth));
  if (v.eastWestCorrection != 0 || v.northSouthCorrection != 0) {
    line(48, "東西補正" + platform::formatGrouped(v.eastWestCorrection));
    line(52, "南北補正" + platform::formatGrouped(v.northSouthCorrection));
  }
}

void sheetName(Furniture& f, const sheet::RunContext& ctx, const std::string& title) {
  const auto& s = ctx.settings;
  const auto& v = ctx.values;
  const double g = ctx.legendGridUnit, scale = v.unitsPerPaperMillimetre;
  f.textStart("0", (v.pageWidthMm * 0.975 - s.marginRight) * scale - 5, (s.marginBottom + 1) * g, 3.1 * g, title);
  f.dxf().pair(72, 2);
  f.point(11, (v.pageWidthMm * 0.995 - s.marginRight) * scale - 5, s.marginBottom * g);
  f.textEnd(1);
}

void notes(Furniture& f, const sheet::RunContext& ctx) {
  const auto& s = ctx.settings;
  const double g = ctx.legendGridUnit, x = (s.marginLeft + 6) * g;
  const std::string tp = "T.P=" + platform::formatNumber("%0.2fm", ctx.values.datumOffset);
  const bool contours = s.contourSource >= 0;
  std::string datum = tp;
  if (contours && s.contourTarget != kAllContours && s.contourTarget >= 0 &&
      static_cast<std::size_t>(s.contourTarget) < settings::kContourTargetItems.size())
    datum = std::string(platform::firstCharacters(
                settings::kContourTargetItems[static_cast<std::size_t>(s.contourTarget)], 4)) +
            "  " + tp;
  f.text("0", x, (s.marginBottom + 7) * g, 1.8 * g, datum);
  if (!contours) return;
  if (s.shortContourOmission > 0 &&
      static_cast<std::size_t>(s.shortContourOmission) < settings::kShortContourItems.size())
    f.text("0", x, (s.marginBottom + 1) * g, 1.8 * g,
           std::string(settings::kShortContourItems[static_cast<std::size_t>(s.shortContourOmission)]));
  f.text("0", x, (s.marginBottom + 4) * g, 1.8 * g, "等高線間隔 " + intervalText(ctx.sheetLegend().interval) + "m");
}

}  // namespace

LegendLabels legendLabels(int levels, double interval, double bottom, int decimals) {
  const double n = levels;
  if (levels <= 16) {
    const char* format = decimals >= 2 ? "%1.2f" : decimals == 1 ? "%1.1f" : "%1.0f";
    return {interval, (n - 1) * interval + bottom, format};
  }
  // A round step of about a sixteenth of the legend: 1, 2 or 5 times a power of ten.
  const double e0 = n * interval / 16;
  const double power = std::pow(10.0, std::floor(std::log10(e0)));
  const double m = e0 / power;
  const double tolerance = 1e-9;
  const double raised = m <= 1 + tolerance ? 1 : m <= 2 + tolerance ? 2 : m <= 5 + tolerance ? 5 : 10;
  const double step = power * raised;
  const double first = std::floor(((n - 1) * interval + bottom) / step + 1e-7) * step;
  const char* format = step < 0.1 ? "%1.2f" : step < 1 ? "%1.1f" : "%1.0f";
  return {step, first, format};
}

std::string scaleBarText(double metres) {
  if (metres > 1000) return platform::formatNumber("%0.0f", metres / 1000) + "km";
  return platform::formatNumber("%0.0f", metres) + "m";
}

std::string intervalText(double metres) {
  std::string text = platform::formatNumber("%0.2f", metres);
  if (!text.empty() && text.back() == '0') text.pop_back();
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  return text;
}

void placeFurniture(sheet::RunContext& ctx) {
  const auto& v = ctx.values;
  const auto& s = ctx.settings;
  const double upm = v.unitsPerPaperMillimetre;
  ctx.legendGridUnit = v.pageWidthMm / 290 * upm;
  // A bar of whole powers of ten, about 2.6 of them across the paper's width.
  ctx.scaleBarUnit = std::pow(10.0, std::trunc(std::log10(v.paperWidthMm / 2.6 * upm)));
  ctx.scaleBarCount = static_cast<long long>(std::trunc(v.paperWidthMm * upm / 2.6 / ctx.scaleBarUnit));
  ctx.scaleBarStart = v.paperWidthMm / 2 * upm - static_cast<double>(ctx.scaleBarCount) * ctx.scaleBarUnit / 2;
  ctx.legendLeft =
      std::min((s.marginLeft + 7.25 + 30) * ctx.legendGridUnit + upm * v.usableWidthMm / 2 - v.sheetWidth / 2,
               ctx.scaleBarStart);
}

void writeTrueNorthArrows(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  auto& c = ctx.coordinates;
  double west = 1e308, east = -1e308, south = 1e308, north = -1e308;
  for (double x : {ctx.sheetWest, ctx.sheetEast})
    for (double y : {ctx.sheetSouth, ctx.sheetNorth}) {
      // A corner beyond the coordinate system has no meridian to show.
      if (!c.xytobl(x, y)) return;
      west = std::min(west, c.lastLongitude);
      east = std::max(east, c.lastLongitude);
      south = std::min(south, c.lastLatitude);
      north = std::max(north, c.lastLatitude);
    }
  const double span = east - west;
  auto P = [&](double longitude, double a) {
    c.bltoxy(longitude, a * north + (1 - a) * south);
    return Point3{c.planeY, c.planeX, 0};
  };
  const double g = ctx.legendGridUnit;
  for (double side : {-1.0, 1.0}) {
    const double edge = side < 0 ? west : east;
    const double l0 = edge + side * 0.03 * span;
    const Point3 top = P(l0, 0.55);
    out.line("0", top, P(l0, 0.45));
    out.line("0", top, P(edge + side * 0.033 * span, 0.53));
    out.line("0", top, P(edge + side * 0.027 * span, 0.53));
    out.line("0", P(edge + side * 0.027 * span, 0.5), P(edge + side * 0.033 * span, 0.5));
    out.textStart("0", top, 0.9 * g);
    auto& dxf = out.dxf();
    dxf.pair(1, "真北");
    dxf.pair(50, 270);
    dxf.pair(7, "TATEGAKI");
    dxf.pair(72, 2);
    out.textAlignment(top);
    out.textEnd(2);
  }
}

void writeDecorations(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  Furniture f(ctx, out);
  const auto& s = ctx.settings;
  const std::string title = sheetTitle(ctx);
  northArrow(f, ctx);
  scaleBar(f, ctx);
  if (s.meshSource >= 0 || s.contourSource >= 0) elevationLegend(f, ctx, out.flavour());
  informationColumn(f, ctx, title);
  sheetName(f, ctx, title);
  notes(f, ctx);
}

}  // namespace decor
