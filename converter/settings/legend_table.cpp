#include "converter/settings/legend_table.h"

namespace settings {

void LegendTable::resize(int rows, int columns) {
  if (rows < 1) rows = 1;
  if (columns < 1) columns = 1;
  rows_ = rows;
  columns_ = columns;
  for (auto at = cells_.begin(); at != cells_.end();)
    at = at->first.first >= rows || at->first.second >= columns ? cells_.erase(at) : std::next(at);
}

const std::string& LegendTable::cell(int row, int column) const {
  static const std::string empty;
  const auto at = cells_.find({row, column});
  return at == cells_.end() ? empty : at->second;
}

void LegendTable::setCell(int row, int column, std::string text) {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return;
  if (text.empty())
    cells_.erase({row, column});
  else
    cells_[{row, column}] = std::move(text);
}

}  // namespace settings
