#pragma once
// The item files beside the program that fill the layer trees, the elevation source
// captions and the national land data set list.
#include <filesystem>
#include <string>
#include <vector>

#include "converter/settings/drawing_settings.h"

namespace settings {

inline constexpr const char* kFgdTreeFile = "kibanchizu-tree.txt";
inline constexpr const char* kBasicInfoTreeFile = "kokudokihon-tree.txt";
inline constexpr const char* kMlitItemFile = "mlit-GML.txt";

struct StartMessage {
  std::string caption;
  std::string text;
};

struct ItemFileResult {
  bool complete = false;     // all three files read; start-up may go on
  bool programEnds = false;  // a fault that ends the program
  std::vector<StartMessage> messages;
};

// Reads the three files from `folder` into the trees and list of `settings`, in the
// order and with the running numbers of the main window (1 is the mesh grid).
ItemFileResult loadItemFiles(const std::filesystem::path& folder, DrawingSettings& settings);

}  // namespace settings
