#pragma once
// The window side of the program: the application object and the main window.
#include <filesystem>
#include <optional>

class QApplication;

namespace ui {

// The application's look: the Japanese font the captions are written for.
void prepareApplication(QApplication& app);

// Opens the main window (with `settingsFile` when given) and runs until it closes;
// returns the exit status.
int runMainWindow(int& argc, char** argv, const std::optional<std::filesystem::path>& settingsFile);

}  // namespace ui
