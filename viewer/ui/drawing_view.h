#pragma once
// The image area: the loaded drawing's active tab drawn with OpenGL, panned with the middle
// button and zoomed with the wheel.
#include <QOpenGLWidget>
#include <memory>

#include "viewer/draw/view.h"
#include "viewer/dxf/drawing.h"

namespace viewer {

class GlScene;

class DrawingView : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit DrawingView(QWidget* parent = nullptr);
  ~DrawingView() override;

  // The drawing to show (owned by the window); its lists are compiled at the next paint.
  void setDrawing(Drawing* drawing);
  void setTab(int tab);
  int tab() const { return tab_; }
  void setOrbitAngle(double degrees) { orbitAngle_ = degrees; }
  // The point style changed: the symbol list is rebuilt at the next paint.
  void pointStyleChanged() { recompile_ = true; }

 signals:
  // The layout of the active tab has no view of its own.
  void noPaperView();

 protected:
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int pixelWidth() const;
  int pixelHeight() const;

  Drawing* drawing_ = nullptr;
  std::unique_ptr<GlScene> scene_;
  bool recompile_ = true;
  int tab_ = 0;
  double orbitAngle_ = 0;
  bool panning_ = false;
  Pan pan_;
};

}  // namespace viewer
