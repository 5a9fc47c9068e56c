#pragma once
// The views of a loaded drawing: what a frame of the model tab or of a layout tab draws,
// expressed against a backend (OpenGL on screen and off screen, a recorder in tests), and
// the view changes the window offers (fixed directions, panning, wheel zoom, orbit).
#include <cstdint>
#include <span>

#include "viewer/dxf/drawing.h"

namespace viewer {

// What a frame is drawn with. Matrices follow the fixed-function model: `ortho` sets the
// projection, the others act on the model-view transformation.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual void clear(Rgb colour) = 0;
  virtual void viewport(int x, int y, int width, int height) = 0;
  virtual void ortho(double left, double right, double bottom, double top, double near, double far) = 0;
  virtual void identity() = 0;
  // Looks from `eye` towards `centre`.
  virtual void lookAt(Vec3 eye, Vec3 centre, Vec3 up) = 0;
  virtual void rotate(double degrees, Vec3 axis) = 0;
  virtual void translate(Vec3 by) = 0;
  virtual void scale(double factor) = 0;
  virtual void push() = 0;
  virtual void pop() = 0;
  virtual void colour(Rgb colour) = 0;
  virtual void lineWidth(float width) = 0;
  // Dashed lines: `pattern` bits, each `factor` pixels; off draws solid lines.
  virtual void stipple(bool on, int factor, std::uint16_t pattern) = 0;
  virtual void lineLoop(std::span<const Vec3> points) = 0;
  virtual void filledRectangle(double x0, double y0, double x1, double y1) = 0;
  // The compiled programs of the drawing.
  virtual void callModelSpace() = 0;
  virtual void callBlock(int index) = 0;
  virtual void callPointSymbol() = 0;
  // Ends the frame (flush).
  virtual void finish() = 0;
  // Whether the paper's outline and its dashed printable area are drawn: helps on a
  // screen, but not on the printed paper itself.
  virtual bool paperAids() const { return true; }
};

// The program of the point symbol of a point mode, in symbol units.
Program pointSymbol(int pointMode);

enum class FrameResult {
  drawn,
  noPaperView,  // the layout has no view of its own: show the model tab and tell the user
};

// One frame of tab `tab` (0 the model tab) in an image of width x height pixels. The
// frame adapts the current view's width to the image's proportions, as the window does.
// An exported model tab (`exportFrame`) also gets a yellow frame around the visible window.
FrameResult renderView(Drawing& drawing, int tab, int width, int height, double orbitAngle, Backend& out,
                       bool exportFrame = false);

// The view record that panning and zooming change on a tab: 0 on the model tab, the
// layout's paper view on a layout tab; -1 when the layout has none.
int currentViewOf(const Drawing& drawing, int tab);

// The ten fixed directions of the view menu, in menu order.
enum class ViewDirection { plan, bottom, left, right, front, back, southWest, southEast, northEast, northWest };
void setViewDirection(Drawing& drawing, ViewDirection direction);

// Middle-button panning: the view's centre when the button went down, moved by the
// cursor's travel (x right, y down, in client pixels).
struct Pan {
  int view = 0;
  int x0 = 0, y0 = 0;
  double centreX0 = 0, centreY0 = 0;
};
Pan beginPan(const Drawing& drawing, int view, int x, int y);
void movePan(Drawing& drawing, const Pan& pan, int x, int y, int clientWidth, int clientHeight);

// The wheel at client position (x, y): away from the user zooms in 10 % towards the
// cursor, towards the user zooms out.
void wheelZoom(Drawing& drawing, int view, bool awayFromUser, int x, int y, int clientWidth, int clientHeight);

// The orbit: frame i of 321 turns the model view by i × 1.125 degrees about z.
inline constexpr int kOrbitFrames = 321;
inline constexpr double kOrbitStep = 1.125;
// After the orbit the view direction is made unit length.
void endOrbit(Drawing& drawing);

// After loading, for an image of width x height pixels: the saved model view spans its full
// width in the image's proportions (the reader keeps the saved view height and width).
void adaptModelView(Drawing& drawing, int width, int height);
// A model view for a drawing saved without one: the plan view of its extents.
void fitModelView(Drawing& drawing, int width, int height);

}  // namespace viewer
