#pragma once
// ".trl" settings files (and the ".pvk" and ".zdn" files of the sibling programs): the
// whole DrawingSettings record in an INI file, format version 13; older versions load.
#include <filesystem>
#include <optional>
#include <string>

#include "converter/settings/drawing_settings.h"

namespace platform {
class PrinterCatalogue;
}

namespace settings {

inline constexpr int kSettingsVersion = 13;

inline constexpr const char* kFgdStandardFile = "基盤地図情報標準.trl";
inline constexpr const char* kMlitStandardColourFile = "国土数値情報標準色.trl";
inline constexpr const char* kBasicInfoStandardFile = "国土基本情報標準.trl";
inline constexpr const char* kCheckClearFile = "Checkclear.trl";
inline constexpr const char* kLastRunFile = "LastDraw.trl";

// Writes into the file without clearing it: existing keys are replaced, new keys
// appended, keys of other versions kept. Resizes the legend tables to the typed sheet
// counts first. False (with the reason) when the file cannot be written; the record is
// unchanged then apart from the table sizes.
bool saveSettings(const std::filesystem::path& file, DrawingSettings& settings, std::string* error = nullptr);

// Missing files and keys keep the current values. `printers` tells whether the stored
// printer exists (its paper list is then the current one).
void loadSettings(const std::filesystem::path& file, DrawingSettings& settings,
                  const platform::PrinterCatalogue& printers);

// The name the save dialog proposes after loading `file`: its name with ".trl", unless it
// is one of the four standard files (then nothing changes).
std::optional<std::string> proposedSaveName(const std::filesystem::path& file);

// The last-run settings file in the per-user settings folder.
std::filesystem::path lastRunSettingsFile();

// "$" + six upper-case hexadecimal digits.
std::string colourText(std::uint32_t colour);

}  // namespace settings
