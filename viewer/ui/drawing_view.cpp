#include "viewer/ui/drawing_view.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include "viewer/gl/gl_backend.h"
#include "viewer/gl/scene.h"

namespace viewer {

DrawingView::DrawingView(QWidget* parent) : QOpenGLWidget(parent) {
  setMouseTracking(false);
  setFocusPolicy(Qt::StrongFocus);
}

DrawingView::~DrawingView() {
  // The lists belong to this widget's context.
  makeCurrent();
  if (scene_) scene_->release();
  scene_.reset();
  doneCurrent();
}

void DrawingView::setDrawing(Drawing* drawing) {
  drawing_ = drawing;
  recompile_ = true;
  panning_ = false;
  update();
}

void DrawingView::setTab(int tab) {
  tab_ = tab;
  panning_ = false;  // a new tab ends a drag
  update();
}

int DrawingView::pixelWidth() const { return static_cast<int>(width() * devicePixelRatioF()); }
int DrawingView::pixelHeight() const { return static_cast<int>(height() * devicePixelRatioF()); }

void DrawingView::paintGL() {
  if (!drawing_) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return;
  }
  if (recompile_ || !scene_) {
    if (!scene_) scene_ = std::make_unique<GlScene>();
    scene_->compile(*drawing_, pointSymbol(drawing_->pointMode));
    recompile_ = false;
  }
  GlBackend backend(*scene_);
  if (renderView(*drawing_, tab_, pixelWidth(), pixelHeight(), orbitAngle_, backend) == FrameResult::noPaperView) {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    emit noPaperView();
  }
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::MiddleButton || !drawing_) return QOpenGLWidget::mousePressEvent(event);
  const int view = currentViewOf(*drawing_, tab_);
  if (view < 0) return;
  panning_ = true;
  pan_ = beginPan(*drawing_, view, static_cast<int>(event->position().x()), static_cast<int>(event->position().y()));
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
  if (!panning_ || !drawing_) return QOpenGLWidget::mouseMoveEvent(event);
  movePan(*drawing_, pan_, static_cast<int>(event->position().x()), static_cast<int>(event->position().y()), width(),
          height());
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::MiddleButton || !panning_) return QOpenGLWidget::mouseReleaseEvent(event);
  mouseMoveEvent(event);
  panning_ = false;
}

void DrawingView::wheelEvent(QWheelEvent* event) {
  if (!drawing_) return;
  const int view = currentViewOf(*drawing_, tab_);
  if (view < 0) return;
  wheelZoom(*drawing_, view, event->angleDelta().y() > 0, static_cast<int>(event->position().x()),
            static_cast<int>(event->position().y()), width(), height());
  update();
  event->accept();
}

}  // namespace viewer
