#include "viewer/ui/app.h"

#include <QApplication>
#include <QFont>
#include <QSurfaceFormat>
#include <QTimer>

#include "viewer/ui/main_window.h"

namespace viewer {

int runWindow(int argc, char** argv, const std::string& file) {
  // Display lists and the fixed-function pipeline need a compatibility profile, chosen
  // before the application object exists.
  QSurfaceFormat format;
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  QSurfaceFormat::setDefaultFormat(format);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Orbiscope");
  QApplication::setFont(QFont("Noto Sans CJK JP", 10));
  MainWindow window;
  window.show();
  if (!file.empty()) {
    const QString path = QString::fromLocal8Bit(file.c_str());
    QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
  }
  return app.exec();
}

}  // namespace viewer
