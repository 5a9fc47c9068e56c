#pragma once
// Where the programs find their own files and keep per-user settings.
#include <filesystem>

namespace platform {

// Folder of the running executable (from /proc/self/exe).
std::filesystem::path executableFolder();

// Item files and standard settings: $TERRALINEA_DATA, else <bin>/data beside the
// executable, else <prefix>/share/terralinea. Returns the first that exists (or the
// <bin>/data path when none does).
std::filesystem::path dataFolder();

// Per-user settings: $XDG_CONFIG_HOME/Terralinea, default ~/.config/Terralinea.
std::filesystem::path settingsFolder();
// Creates the settings folder when missing; false when that fails.
bool ensureSettingsFolder();

// Root of the default data folders ("地図", "基盤地図情報", ...): ~/Terralinea.
std::filesystem::path defaultFolderRoot();

// Available physical memory in bytes (MemAvailable of /proc/meminfo), 0 when unknown.
unsigned long long availableMemoryBytes();

}  // namespace platform
