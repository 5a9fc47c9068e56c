// The item file loader: the input stands in for each of the three item files in turn,
// the shipped files for the other two.
#include <array>

#include "converter/settings/item_files.h"
#include "fuzz/fuzz_input.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::array<const char*, 3> names = {settings::kFgdTreeFile, settings::kBasicInfoTreeFile,
                                                   settings::kMlitItemFile};
  // One folder per replaced file, holding the shipped files.
  static const std::array<fs::path, 3> folders = [] {
    std::array<fs::path, 3> f;
    for (std::size_t k = 0; k < 3; ++k) {
      f[k] = fuzz::inputFolder() / ("items" + std::to_string(k));
      fs::create_directories(f[k]);
      for (const char* n : names) fs::copy_file(fuzz::shippedData() / n, f[k] / n, fs::copy_options::overwrite_existing);
    }
    return f;
  }();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (std::size_t k = 0; k < 3; ++k) {
    fuzz::writeInput(names[k], bytes, folders[k]);
    settings::DrawingSettings s;
    settings::loadItemFiles(folders[k], s);
  }
  return 0;
}
