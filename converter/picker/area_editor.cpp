#include "converter/picker/area_editor.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "converter/geo/plane_coordinates.h"
#include "converter/geo/section_lines.h"
#include "converter/settings/check_settings.h"

namespace picker {

namespace {

constexpr double kZoomStep = 0.9;

std::string wholeNumber(double value) { return std::to_string(static_cast<long long>(std::floor(value))); }

}  // namespace

AreaEditor::AreaEditor(const settings::DrawingSettings& s, const settings::RunValues& v)
    : values_(v),
      scaleChoice_(s.scaleChoice),
      rows_(v.sheetRows),
      columns_(v.sheetColumns),
      overlap_(s.overlapPercent),
      angle_(s.crossSectionAngle),
      sectionCount_(s.crossSectionCount),
      sectionsShown_(s.crossSectionsOn) {
  // Only what overcheck reads: the record itself holds the layer trees.
  settings_.meshSource = s.meshSource;
  settings_.contourSource = s.contourSource;
  settings_.contourShare = s.contourShare;
  settings_.elevationBufferCells = s.elevationBufferCells;
  west = std::min(v.westEdge, v.eastEdge);
  east = std::max(v.westEdge, v.eastEdge);
  south = std::min(v.southEdge, v.northEdge);
  north = std::max(v.southEdge, v.northEdge);
  view = {west, east, south, north};
  layOut();
}

void AreaEditor::showBox(const gml::Box& box, geo::PlaneCoordinates& c) {
  if (box.empty()) {
    // No data: the area with a kilometre around it.
    const double margin = 1000.0 * values_.unitsPerMetre;
    view = {west - margin, east + margin, south - margin, north + margin};
  } else {
    view = cornerRect(box, c);
  }
  setClientSize(clientWidth_, clientHeight_);
}

PlaneRect fittedView(PlaneRect v, int width, int height) {
  const double w = v.right - v.left, h = v.top - v.bottom;
  const double client = static_cast<double>(std::max(width, 1)) / std::max(height, 1);
  if (h != 0 && (w / h) / client >= 1)
    v.top = v.bottom + w / client;
  else
    v.right = v.left + h * client;
  return v;
}

void AreaEditor::setClientSize(int width, int height) {
  clientWidth_ = std::max(width, 1);
  clientHeight_ = std::max(height, 1);
  view = fittedView(view, clientWidth_, clientHeight_);
}

geo::PointPair AreaEditor::toPlane(double x, double y) const {
  return {view.left + x / clientWidth_ * (view.right - view.left),
          view.top - y / clientHeight_ * (view.top - view.bottom)};
}

void AreaEditor::zoom(double x, double y, bool in) {
  const geo::PointPair p = toPlane(x, y);
  auto towards = [in](double centre, double& edge) {
    edge = in ? centre - (centre - edge) * kZoomStep : centre - (centre - edge) / kZoomStep;
  };
  towards(p.x, view.left);
  towards(p.x, view.right);
  towards(p.y, view.bottom);
  towards(p.y, view.top);
}

PlaneRect AreaEditor::panned(double dx, double dy) const {
  const double ty = dx * unitsPerPixelX(), tx = dy * unitsPerPixelY();
  return {view.left - ty, view.right - ty, view.bottom + tx, view.top + tx};
}

Drag AreaEditor::edgeAt(double x, double y) const {
  const geo::PointPair p = toPlane(x, y);
  const double px = unitsPerPixelX(), py = unitsPerPixelY();
  auto nearY = [&](double edge) { return p.x - 2 * px <= edge && edge <= p.x + 3 * px; };
  auto nearX = [&](double edge) { return p.y - 3 * py <= edge && edge <= p.y + 2 * py; };
  if (south <= p.y && p.y <= north) {
    if (nearY(west)) return Drag::west;
    if (nearY(east)) return Drag::east;
  }
  if (west <= p.x && p.x <= east) {
    if (nearX(south)) return Drag::south;
    if (nearX(north)) return Drag::north;
  }
  return Drag::idle;
}

void AreaEditor::press(double x, double y, Drag edge) {
  if (edge != Drag::idle && edge != Drag::newArea) {
    drag_ = edge;
    return;
  }
  const geo::PointPair p = toPlane(x, y);
  west = p.x;
  south = p.y;
  if (fixedScale()) keepBlock(Drag::newArea);
  drag_ = Drag::newArea;
}

// A fixed scale keeps the block's size: the edge opposite the one moved follows it.
void AreaEditor::keepBlock(Drag moved) {
  const double width = values_.blockWidth(), height = values_.blockHeight();
  switch (moved) {
    case Drag::east: west = east - width; break;
    case Drag::north: south = north - height; break;
    default:
      east = west + width;
      north = south + height;
  }
}

void AreaEditor::move(double x, double y) {
  if (drag_ == Drag::idle) return;
  const geo::PointPair p = toPlane(x, y);
  switch (drag_) {
    case Drag::newArea:
      if (fixedScale()) {
        west = p.x;
        south = p.y;
      } else {
        east = p.x;
        north = p.y;
      }
      break;
    case Drag::west: west = p.x; break;
    case Drag::east: east = p.x; break;
    case Drag::south: south = p.y; break;
    case Drag::north: north = p.y; break;
    case Drag::idle: break;
  }
  if (fixedScale()) keepBlock(drag_);
  layOut();
}

void AreaEditor::release(double x, double y) {
  if (drag_ == Drag::newArea && !fixedScale()) {
    const geo::PointPair p = toPlane(x, y);
    east = p.x;
    north = p.y;
  }
  drag_ = Drag::idle;
  swapReversed();
  layOut();
}

void AreaEditor::swapReversed() {
  if (west > east) std::swap(west, east);
  if (south > north) std::swap(south, north);
}

void AreaEditor::setScale(int choice) {
  scaleChoice_ = choice;
  layOut();
}

void AreaEditor::setCounts(int rows, int columns, int overlap) {
  rows_ = rows;
  columns_ = columns;
  overlap_ = overlap;
  layOut();
}

void AreaEditor::layOut() {
  values_.westEdge = west;
  values_.eastEdge = east;
  values_.southEdge = south;
  values_.northEdge = north;
  values_.sheetRows = rows_;
  values_.sheetColumns = columns_;
  settings::layOutSheets(scaleChoice_, overlap_, values_);
  if (fixedScale()) {
    keepBlock(Drag::newArea);
    values_.eastEdge = east;
    values_.northEdge = north;
  }
  overcheck();
}

void AreaEditor::overcheck() {
  const double cells =
      std::trunc(std::fabs(values_.sheetHeight * values_.sheetWidth / values_.meshCellWidth / values_.meshCellHeight));
  sheetFits_ = cells < settings::elevationCellLimit(settings_) * 0.97;
}

std::vector<Stroke> AreaEditor::gridStrokes() const {
  std::vector<Stroke> out;
  if (areaEmpty()) return out;
  const Rgb colour = sheetFits_ ? kGreen : kRed;
  const auto& v = values_;
  for (int c = 0; c < columns_; ++c)
    for (double y : {west + c * v.sheetStepWidth, west + c * v.sheetStepWidth + v.sheetWidth})
      out.push_back({{y, north}, {y, south}, colour, 1});
  for (int r = 0; r < rows_; ++r)
    for (double x : {south + r * v.sheetStepHeight, south + r * v.sheetStepHeight + v.sheetHeight})
      out.push_back({{west, x}, {east, x}, colour, 1});
  const geo::PointPair corners[] = {{west, south}, {east, south}, {east, north}, {west, north}};
  for (int i = 0; i < 4; ++i) out.push_back({corners[i], corners[(i + 1) % 4], colour, 3});
  return out;
}

std::vector<Stroke> AreaEditor::sectionStrokes() const {
  std::vector<Stroke> out;
  if (!sectionsShown_ || areaEmpty()) return out;
  const auto& v = values_;
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < columns_; ++c) {
      const geo::SheetFrame sheet{
          {west + c * v.sheetStepWidth + v.sheetWidth / 2, north - r * v.sheetStepHeight - v.sheetHeight / 2},
          v.sheetWidth, v.sheetHeight};
      const auto lines = geo::sectionLines(sheet, angle_, sectionCount_);
      if (lines.size() == 1) {
        out.push_back({lines[0].from, lines[0].to, kBlue, 1});
        out.push_back({lines[0].from, sheet.centre, kBlue, 3});
        continue;
      }
      for (std::size_t i = 0; i < lines.size(); ++i)
        out.push_back({lines[i].from, lines[i].to, i == 0 ? kBlue : kGreen, 1});
      const geo::SectionCorners k = geo::sectionCorners(sheet, angle_);
      for (const auto& [a, b] : {std::pair{k.c1, k.c2}, std::pair{k.c2, k.c3}, std::pair{k.c3, k.c4}})
        out.push_back({a, b, kGreen, 1});
    }
  return out;
}

void AreaEditor::confirm(settings::DrawingSettings& s) const {
  const double u = values_.unitsPerMetre;
  const double e = std::fabs(east - west) < 1 ? west + u : east;
  const double n = std::fabs(north - south) < 1 ? south + u : north;
  s.scaleChoice = scaleChoice_;
  s.sheetRows = std::to_string(rows_);
  s.sheetColumns = std::to_string(columns_);
  s.overlapPercent = overlap_;
  s.crossSectionAngle = angle_;
  s.northEdge = wholeNumber(n);
  s.southEdge = wholeNumber(south + 0.9999999);
  s.westEdge = wholeNumber(west + 0.9999999);
  s.eastEdge = wholeNumber(e);
}

}  // namespace picker
