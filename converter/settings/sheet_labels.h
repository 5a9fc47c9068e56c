#pragma once
// Row and column labels of the sheets and the names of the files a run writes.
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

// Label of row r (0 = north) in a grid of `rowCount` rows; all labels of one grid have
// the same length when the separator is one character. Empty for an unsupported count.
std::string rowst(int row, std::string_view separator, int rowCount);
// Column number with leading zeros to the width the column count needs.
std::string colst(int column, int columnCount);

// The name of a sheet's files: mapName + row label ("_") + column label + extension.
std::string sheetName(std::string_view mapName, int row, int column, int rowCount, int columnCount,
                      std::string_view extension);
// Single sheet: folder/mapName.dxf; otherwise folder/sheetName(..., ".dxf").
std::filesystem::path sheetFileName(const std::filesystem::path& writeFolder, std::string_view mapName, int row,
                                    int column, int rowCount, int columnCount);
std::filesystem::path indexFileName(const std::filesystem::path& writeFolder, std::string_view mapName);

// Settings-file key of a legend cell: row label with an empty separator + plain column number.
std::string legendKey(int row, int column, int rowCount);

// Paths are UTF-8 text inside the program.
std::filesystem::path utf8Path(std::string_view text);
std::string pathText(const std::filesystem::path& path);

}  // namespace settings
