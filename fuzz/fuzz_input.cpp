#include "fuzz/fuzz_input.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "converter/settings/check_settings.h"
#include "converter/settings/item_files.h"

namespace fuzz {

namespace fs = std::filesystem;

namespace {

void removeInputFolder() {
  std::error_code ec;
  fs::remove_all(inputFolder(), ec);
}

}  // namespace

const fs::path& inputFolder() {
  static const fs::path folder = [] {
    auto f = fs::temp_directory_path() / ("terralinea-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(f);
    std::atexit(removeInputFolder);
    return f;
  }();
  return folder;
}

fs::path writeInput(std::string_view name, std::string_view bytes, const fs::path& folder) {
  const auto path = folder / fs::path(std::u8string(name.begin(), name.end()));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

NamedInput splitName(const std::uint8_t* data, std::size_t size, std::string_view fallback) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const auto end = all.find('\n');
  if (end == std::string_view::npos) return {std::string(fallback), all};
  std::string name(all.substr(0, std::min<std::size_t>(end, 80)));
  for (char& c : name)
    if (c == '/' || c == '\0' || c == '\r') c = '_';
  if (name.empty() || name == "." || name == "..") name = fallback;
  return {name, all.substr(end + 1)};
}

fs::path shippedData() { return fs::path(TERRALINEA_SOURCE_DIR) / "data"; }

const settings::DrawingSettings& itemSettings() {
  static const settings::DrawingSettings s = [] {
    settings::DrawingSettings loaded;
    if (!settings::loadItemFiles(shippedData(), loaded).complete) std::abort();
    for (auto* tree : {&loaded.fgdLayers, &loaded.basicInfoLayers})
      for (auto& g : tree->groups) {
        g.on = true;
        for (auto& i : g.items) i.on = true;
      }
    for (auto& m : loaded.mlitLayers) m.on = true;
    return loaded;
  }();
  return s;
}

ReaderRun::ReaderRun(const settings::DrawingSettings& prototype, std::size_t bufferPairs) : settings(prototype) {
  coords.selectSystem(2);
  coords.unitsPerMetre = values.unitsPerMetre = 1000;
  values.sheetHeight = 7000;
  ctx.pointBuffer.assign(bufferPairs, geo::PointPair{0, 0});
  ctx.sheetWest = ctx.sheetSouth = -1e12;
  ctx.sheetEast = ctx.sheetNorth = 1e12;
}

void ReaderRun::elevationGrid(int source, double west, double north, int columns, int rows) {
  settings.meshSource = settings.contourSource = source;
  const auto cell = settings::elevationCellSize(source);
  auto& g = ctx.elevationGrid;
  g.cellWidth = cell.width;
  g.cellHeight = cell.height;
  g.place(west, north, columns, rows);
  g.bind(ctx.pointBuffer);
  g.fill(g.missingElevation());
}

}  // namespace fuzz
