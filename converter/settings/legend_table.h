#pragma once
// Per-sheet legend values (interval or bottom), one text cell per sheet, as typed.
#include <map>
#include <string>
#include <utility>

namespace settings {

class LegendTable {
 public:
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  // Keeps the cells that remain inside; new cells are empty.
  void resize(int rows, int columns);
  const std::string& cell(int row, int column) const;   // empty outside the table
  void setCell(int row, int column, std::string text);  // ignored outside the table

 private:
  int rows_ = 1, columns_ = 1;
  // Only the cells typed: a grid of 18277 x 256 sheets costs nothing until filled.
  std::map<std::pair<int, int>, std::string> cells_;
};

}  // namespace settings
