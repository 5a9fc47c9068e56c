#pragma once
// The GL surface of the area picker, made through one factory: an OpenGL widget where the
// platform has OpenGL, and a plain placeholder where it has none (Qt's offscreen platform,
// on which a window holding an OpenGL widget cannot even be created). Input goes to the
// widget either way; only the picture is missing from the placeholder.
#include <QImage>
#include <QOpenGLWidget>
#include <functional>

namespace ui {

class MapView : public QOpenGLWidget {
 public:
  // `initialise` and `paint` run with the view's context current.
  MapView(std::function<void()> initialise, std::function<void()> paint, QWidget* parent = nullptr);

 protected:
  void initializeGL() override { initialise_(); }
  void paintGL() override { paint_(); }

 private:
  std::function<void()> initialise_, paint_;
};

// Display lists and the fixed-function pipeline need a compatibility profile, chosen
// before the application object exists.
void prepareGlFormat();
bool openGlAvailable();
QWidget* makeMapView(std::function<void()> initialise, std::function<void()> paint, QWidget* parent = nullptr);
// Runs `work` with the view's context current; false for the placeholder or a view whose
// context does not exist yet.
bool withMapContext(QWidget* view, const std::function<void()>& work);
// The view's last picture (a null image for the placeholder).
QImage grabMap(QWidget* view);

}  // namespace ui
