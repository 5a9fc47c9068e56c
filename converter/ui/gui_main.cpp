#include "converter/ui/gui_main.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include "converter/ui/main_window.h"
#include "converter/ui/map_view.h"
#include "guikit/system_printers.h"
#include "converter/ui/window_host.h"
#include "platform/user_folders.h"

namespace ui {

void prepareApplication(QApplication& app) {
  app.setApplicationName("Terralinea");
  // Without an explicit family Qt picks a Latin font and falls back glyph by glyph.
  for (const char* family : {"Noto Sans CJK JP", "IPAGothic"}) {
    if (QFontDatabase::families().contains(family)) {
      QFont font(family);
      font.setPointSize(9);
      app.setFont(font);
      break;
    }
  }
}

int runMainWindow(int& argc, char** argv, const std::optional<std::filesystem::path>& settingsFile) {
  prepareGlFormat();
  QApplication app(argc, argv);
  prepareApplication(app);
  DesktopHost host;
  platform::PrinterCatalogue printers;
  guikit::addSystemPrinters(printers);
  MainWindow window(host, std::move(printers));
  host.setParent(&window);
  if (!window.startUp(platform::dataFolder(), settingsFile)) return 1;
  window.show();
  return app.exec();
}

}  // namespace ui
