#include "converter/settings/sheet_labels.h"

#include <cstdio>

namespace settings {

namespace {
char letter(int k) { return static_cast<char>('A' + k); }
}  // namespace

std::string rowst(int r, std::string_view sep, int n) {
  std::string s;
  if (n >= 1 && n <= 26) {
    s += letter(r);
  } else if (n >= 27 && n <= 701) {
    if (r <= 25) {
      s += sep;
      s += letter(r);
    } else {
      s += letter(r / 26 - 1);
      s += letter(r % 26);
    }
  } else if (n >= 702 && n <= 18277) {
    if (r <= 25) {
      s += sep;
      s += sep;
      s += letter(r);
    } else if (r <= 701) {
      s += sep;
      s += letter(r / 26 - 1);
      s += letter(r % 26);
    } else {
      int t = r - 702;
      s += letter(t / 676);
      s += letter((t / 26) % 26);
      s += letter(t % 26);
    }
  }
  return s;
}

std::string colst(int c, int n) {
  const char* format = n >= 1 && n <= 10       ? "%1.1d"
                       : n >= 11 && n <= 100   ? "%2.2d"
                       : n >= 101 && n <= 1000 ? "%3.3d"
                                               : "%4.4d";
  char buf[32];
  std::snprintf(buf, sizeof buf, format, c);
  return buf;
}

std::filesystem::path utf8Path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string pathText(const std::filesystem::path& path) {
  auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

std::string sheetName(std::string_view mapName, int row, int column, int rowCount, int columnCount,
                      std::string_view extension) {
  std::string name(mapName);
  name += rowst(row, "_", rowCount);
  name += colst(column, columnCount);
  name += extension;
  return name;
}

std::filesystem::path sheetFileName(const std::filesystem::path& writeFolder, std::string_view mapName, int row,
                                    int column, int rowCount, int columnCount) {
  if (rowCount == 1 && columnCount == 1) return writeFolder / utf8Path(std::string(mapName) + ".dxf");
  return writeFolder / utf8Path(sheetName(mapName, row, column, rowCount, columnCount, ".dxf"));
}

std::filesystem::path indexFileName(const std::filesystem::path& writeFolder, std::string_view mapName) {
  return writeFolder / utf8Path(std::string(mapName) + "#index.dxf");
}

std::string legendKey(int row, int column, int rowCount) { return rowst(row, "", rowCount) + std::to_string(column); }

}  // namespace settings
