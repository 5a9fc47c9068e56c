#pragma once
// The data side of the main window's start-up: defaults, item files, default folders,
// and the settings file named at start or else the last-run settings.
#include <filesystem>
#include <optional>
#include <vector>

#include "converter/settings/drawing_settings.h"
#include "converter/settings/item_files.h"

namespace platform {
class PrinterCatalogue;
}

namespace settings {

struct StartupResult {
  ItemFileResult items;
  bool settingsLoaded = false;
  std::filesystem::path loadedFile;  // the file that was loaded, if any
};

struct StartupOptions {
  // The file named on the command line; without it the last-run settings are loaded
  // when they exist and `loadLastRun` is set.
  std::optional<std::filesystem::path> settingsFile;
  bool loadLastRun = true;
  bool createSettingsFolder = true;
};

// When an item file is missing, the later steps are skipped and the record keeps the
// form defaults.
StartupResult startUp(DrawingSettings& settings, const std::filesystem::path& dataFolder, const StartupOptions& options,
                      const platform::PrinterCatalogue& printers);

}  // namespace settings
