#include "converter/ui/map_view.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace ui {

MapView::MapView(std::function<void()> initialise, std::function<void()> paint, QWidget* parent)
    : QOpenGLWidget(parent), initialise_(std::move(initialise)), paint_(std::move(paint)) {}

void prepareGlFormat() {
  QSurfaceFormat format;
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  QSurfaceFormat::setDefaultFormat(format);
}

bool openGlAvailable() {
  static const bool available = [] {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") return false;
    QOpenGLContext probe;
    return probe.create();
  }();
  return available;
}

QWidget* makeMapView(std::function<void()> initialise, std::function<void()> paint, QWidget* parent) {
  if (openGlAvailable()) return new MapView(std::move(initialise), std::move(paint), parent);
  auto* placeholder = new QWidget(parent);
  placeholder->setAutoFillBackground(true);
  QPalette palette = placeholder->palette();
  palette.setColor(QPalette::Window, Qt::white);
  placeholder->setPalette(palette);
  return placeholder;
}

bool withMapContext(QWidget* view, const std::function<void()>& work) {
  auto* gl = qobject_cast<QOpenGLWidget*>(view);
  if (!gl || !gl->context()) return false;
  gl->makeCurrent();
  work();
  gl->doneCurrent();
  return true;
}

QImage grabMap(QWidget* view) {
  auto* gl = qobject_cast<QOpenGLWidget*>(view);
  return gl ? gl->grabFramebuffer() : QImage();
}

}  // namespace ui
