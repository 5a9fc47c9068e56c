#pragma once
// The viewer's window program: the application object, the Japanese font, the OpenGL
// format the views need, and the main window, opening `file` once shown (when given).
#include <string>

namespace viewer {

int runWindow(int argc, char** argv, const std::string& file);

}  // namespace viewer
