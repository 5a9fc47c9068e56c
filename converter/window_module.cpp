// The main window as a module the program loads only when it opens the window: the
// headless commands then start without loading the window system's libraries.
#include <filesystem>
#include <optional>

#include "converter/ui/gui_main.h"

extern "C" __attribute__((visibility("default"))) int terralineaMainWindow(int* argc, char** argv,
                                                                           const char* settingsFile) {
  std::optional<std::filesystem::path> file;
  if (settingsFile) file = std::filesystem::path(settingsFile);
  return ui::runMainWindow(*argc, argv, file);
}
