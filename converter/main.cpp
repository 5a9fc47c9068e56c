// The converter program: the main window without arguments or with one settings file,
// the headless sub-commands otherwise. Qt starts only for the window, so the commands
// run without a display.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "converter/cli/commands.h"
#include "converter/settings/sheet_labels.h"
#include "converter/ui/gui_main.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!cli::opensWindow(args)) return cli::runCommandLine(args, std::cout, std::cerr);
  std::optional<std::filesystem::path> settingsFile;
  if (!args.empty()) settingsFile = std::filesystem::absolute(settings::utf8Path(args[0]));
  return ui::runMainWindow(argc, argv, settingsFile);
}
