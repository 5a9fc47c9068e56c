#include "converter/run/scripts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "converter/settings/sheet_labels.h"
#include "platform/file_replace.h"
#include "platform/text_codec.h"

namespace run {

namespace {

// Replaces the file with the lines, CP932 with CR LF.
bool writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines, std::string* error) {
  std::string bytes;
  for (const auto& line : lines) bytes += platform::utf8ToCp932(line) + "\r\n";
  std::string reason;
  if (platform::replaceFile(file, bytes, &reason)) return true;
  if (error) *error = settings::pathText(file) + ": " + reason;
  return false;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool writeConversionScript(const std::filesystem::path& folder, const std::string& mapName, int rows, int columns,
                           std::string* error) {
  std::vector<std::string> lines;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      auto file = [&](std::string_view extension) {
        const std::string name = settings::sheetName(mapName, r, c, rows, columns, extension);
        return quoted(settings::pathText(folder / settings::utf8Path(name)));
      };
      lines.insert(lines.end(), {"open", file(".dxf"), "save", file(".dwg"), "close", ";"});
    }
  return writeLines(folder / "dxftodwg.scr", lines, error);
}

bool writeElevationLayerScript(const std::filesystem::path& folder, const geo::SheetLegend& legend, int levelCount,
                               std::string* error) {
  const int n = levelCount;
  auto name = [&](int i) {
    return "標高MESH" + geo::legendLabel(legend, n, "_", (i - 1) * legend.interval + legend.bottom);
  };
  std::vector<std::string> lines;
  auto redraws = [&lines](int count) { lines.insert(lines.end(), static_cast<std::size_t>(count), "_redrawall"); };
  for (int i = 0; i <= n; ++i) {
    lines.insert(lines.end(), {"-layer", "OF", quoted(name(i)), ""});
    redraws(15);
  }
  redraws(30);
  for (int i = n; i >= 0; --i) {
    lines.insert(lines.end(), {"-layer", "ON", quoted(name(i)), ""});
    redraws(30);
  }
  lines.push_back(";");
  return writeLines(folder / "hyoko.scr", lines, error);
}

}  // namespace run
