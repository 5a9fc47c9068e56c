#pragma once
// The area picker's state without any window: the visible part of the plane, the area
// being dragged with its sheet grid, and what confirming writes back. Positions come in
// client pixels (x to the right, y down) of a client area of the size last set.
#include <vector>

#include "converter/geo/point_pair.h"
#include "converter/picker/boundary_map.h"
#include "converter/settings/drawing_settings.h"
#include "converter/settings/run_values.h"

namespace picker {

struct Rgb {
  float r, g, b;
};
inline constexpr Rgb kBlack{0, 0, 0}, kGreen{0, 1, 0}, kRed{1, 0, 0}, kBlue{0, 0, 1};

// A line to draw in plane coordinates (x easting, y northing).
struct Stroke {
  geo::PointPair from, to;
  Rgb colour;
  float width;
};

// The view made as wide for its height as a client area of width x height pixels, so that
// a drawing unit is equally long on both axes: it grows upwards or to the right.
PlaneRect fittedView(PlaneRect view, int width, int height);

// What a press of the left button drags.
enum class Drag { idle = 0, newArea = 1, west = 2, east = 3, south = 4, north = 5 };

class AreaEditor {
 public:
  // The settings give the window's own copies (scale, counts, overlap, angle) and the
  // elevation sources; the values of the last start checks give the edges and the paper.
  AreaEditor(const settings::DrawingSettings& settings, const settings::RunValues& values);

  // The view spans the data box (longitude/latitude), or the area when there is no data.
  void showBox(const gml::Box& box, geo::PlaneCoordinates& coordinates);
  // Client size in pixels; keeps one drawing unit equally long on both axes.
  void setClientSize(int width, int height);
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }

  geo::PointPair toPlane(double x, double y) const;  // (Y, X)
  void zoom(double x, double y, bool in);
  // The view shifted so that the map follows the mouse's travel in pixels.
  PlaneRect panned(double dx, double dy) const;
  void pan(double dx, double dy) { view = panned(dx, dy); }

  // The edge a press at (x, y) would grab: west, east, south, north or idle (none).
  Drag edgeAt(double x, double y) const;
  void press(double x, double y, Drag edge);
  void move(double x, double y);
  void release(double x, double y);
  Drag drag() const { return drag_; }

  bool fixedScale() const { return scaleChoice_ >= 2; }
  int scaleChoice() const { return scaleChoice_; }
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  int overlap() const { return overlap_; }
  int angle() const { return angle_; }
  bool overlapVisible() const { return rows_ > 1 || columns_ > 1; }
  void setScale(int choice);
  void setCounts(int rows, int columns, int overlap);
  void setAngle(int angleTenths) { angle_ = angleTenths; }
  bool sectionsShown() const { return sectionsShown_; }

  // Sheet size and step from the area (a fixed scale keeps the size and moves the
  // north-east corner), then `overcheck`.
  void layOut();
  // Whether one sheet's elevation grid fits the buffer with room to spare.
  void overcheck();
  bool sheetFits() const { return sheetFits_; }
  const settings::RunValues& values() const { return values_; }
  bool areaEmpty() const { return north == south || west == east; }

  // The sheet grid and, in width 3, the area's outline: green when the sheets fit.
  std::vector<Stroke> gridStrokes() const;
  // The cross sections of every sheet, when the angle is shown.
  std::vector<Stroke> sectionStrokes() const;

  // Area of at least one metre, shrunk inwards to whole drawing units; the window's scale,
  // counts, overlap and angle.
  void confirm(settings::DrawingSettings& into) const;

  PlaneRect view{0, 1, 0, 1};
  double west = 0, east = 0, south = 0, north = 0;

 private:
  void keepBlock(Drag moved);
  void swapReversed();
  double unitsPerPixelX() const { return (view.right - view.left) / clientWidth_; }
  double unitsPerPixelY() const { return (view.top - view.bottom) / clientHeight_; }

  settings::DrawingSettings settings_;  // sources and buffer, for overcheck
  settings::RunValues values_;
  int scaleChoice_, rows_, columns_, overlap_, angle_, sectionCount_;
  bool sectionsShown_;
  int clientWidth_ = 1, clientHeight_ = 1;
  Drag drag_ = Drag::idle;
  bool sheetFits_ = true;
};

}  // namespace picker
