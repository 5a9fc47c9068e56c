// The settings file loader over the shipped item trees.
#include "converter/settings/settings_file.h"
#include "fuzz/fuzz_input.h"
#include "platform/printer_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const platform::PrinterCatalogue printers;
  const auto file = fuzz::writeInput("fuzz.trl", {reinterpret_cast<const char*>(data), size});
  settings::DrawingSettings s = fuzz::itemSettings();
  settings::loadSettings(file, s, printers);
  return 0;
}
