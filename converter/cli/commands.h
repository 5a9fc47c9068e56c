#pragma once
// The headless sub-commands. Each returns the process exit status.
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// No arguments, or one that is neither a sub-command nor an option (a settings file):
// the main window's business.
bool opensWindow(const std::vector<std::string>& args);

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Shortest text that reads back to the same double.
std::string shortestReal(double value);

}  // namespace cli
