// The converter program: the main window without arguments or with one settings file,
// the headless sub-commands otherwise. The window lives in a module loaded only for it,
// so the commands run without a display and without loading the window system.
#include <dlfcn.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "converter/cli/commands.h"
#include "converter/settings/sheet_labels.h"
#include "platform/user_folders.h"

namespace {

// Beside the program in the build tree, under lib/terralinea when installed.
int openWindow(int argc, char** argv, const std::optional<std::filesystem::path>& settingsFile) {
  const auto bin = platform::executableFolder();
  std::string errors;
  for (const auto& candidate : {bin / "terralinea-window.so", bin / ".." / "lib" / "terralinea" / "terralinea-window.so"}) {
    void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      errors += std::string("\n  ") + ::dlerror();
      continue;
    }
    using Entry = int (*)(int*, char**, const char*);
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, "terralineaMainWindow"));
    if (!entry) {
      errors += "\n  " + candidate.string() + ": no terralineaMainWindow";
      continue;
    }
    const std::string file = settingsFile ? settingsFile->string() : std::string();
    return entry(&argc, argv, settingsFile ? file.c_str() : nullptr);
  }
  std::cerr << "terralinea: the main window cannot be loaded:" << errors << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!cli::opensWindow(args)) return cli::runCommandLine(args, std::cout, std::cerr);
  std::optional<std::filesystem::path> settingsFile;
  if (!args.empty()) settingsFile = std::filesystem::absolute(settings::utf8Path(args[0]));
  return openWindow(argc, argv, settingsFile);
}
