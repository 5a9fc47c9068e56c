#include "converter/settings/legend_table.h"

namespace settings {

void LegendTable::resize(int rows, int columns) {
  if (rows < 1) rows = 1;
  if (columns < 1) columns = 1;
  if (rows == rows_ && columns == columns_) return;
  std::vector<std::string> next(static_cast<std::size_t>(rows) * columns);
  for (int r = 0; r < rows && r < rows_; ++r)
    for (int c = 0; c < columns && c < columns_; ++c)
      next[static_cast<std::size_t>(r) * columns + c] = std::move(cells_[static_cast<std::size_t>(r) * columns_ + c]);
  cells_ = std::move(next);
  rows_ = rows;
  columns_ = columns;
}

const std::string& LegendTable::cell(int row, int column) const {
  static const std::string empty;
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return empty;
  return cells_[static_cast<std::size_t>(row) * columns_ + column];
}

void LegendTable::setCell(int row, int column, std::string text) {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return;
  cells_[static_cast<std::size_t>(row) * columns_ + column] = std::move(text);
}

}  // namespace settings
