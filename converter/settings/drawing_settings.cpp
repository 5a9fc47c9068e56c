#include "converter/settings/drawing_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "converter/settings/choice_lists.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace settings {

namespace {
void setExclusive(int& field, int source, bool on) {
  if (source < 0 || source >= kElevationSourceCount) return;
  if (on)
    field = source;
  else if (field == source)
    field = kNoChoice;
}
}  // namespace

void DrawingSettings::setMeshSource(int source, bool on) { setExclusive(meshSource, source, on); }
void DrawingSettings::setContourSource(int source, bool on) { setExclusive(contourSource, source, on); }

int DrawingSettings::legendLevelItemCount() const { return settings::legendLevelItemCount(fileFormat); }

void DrawingSettings::applyFileFormatRules() {
  int count = legendLevelItemCount();
  if (legendLevelChoice >= count) legendLevelChoice = count - 1;
}

bool DrawingSettings::overlapVisible() const { return typedRows() > 1 || typedColumns() > 1; }

int DrawingSettings::typedRows() const {
  long long v = 1;
  if (platform::isBlank(sheetRows) || !parseInteger(sheetRows, v)) v = 1;
  return static_cast<int>(std::clamp<long long>(v, 1, 18277));
}

int DrawingSettings::typedColumns() const {
  long long v = 1;
  if (platform::isBlank(sheetColumns) || !parseInteger(sheetColumns, v)) v = 1;
  return static_cast<int>(std::clamp<long long>(v, 1, 256));
}

void DrawingSettings::resizeLegendTables() {
  legendIntervals.resize(typedRows(), typedColumns());
  legendBottoms.resize(typedRows(), typedColumns());
}

std::string DrawingSettings::sheetSizeText() const {
  double n, s, w, e;
  long long cols, rows;
  if (!parseReal(northEdge, n) || !parseReal(southEdge, s) || !parseReal(westEdge, w) || !parseReal(eastEdge, e) ||
      !parseInteger(sheetColumns, cols) || !parseInteger(sheetRows, rows))
    return {};
  if (!(n > s) || !(e > w)) return {};
  double p = overlapPercent / 100.0;
  double width = (e - w) / (p + cols * (1 - p));
  double height = (n - s) / (p + rows * (1 - p));
  char buf[128];
  std::snprintf(buf, sizeof buf, "高:%0.0f 幅:%0.0f", height, width);
  return buf;
}

bool acceptsTypedCharacter(char32_t ch) { return (ch >= '0' && ch <= '9') || ch == '-' || ch == '.' || ch == 8; }

std::string filterTyped(const std::string& text) {
  std::string out;
  for (char ch : text)
    if (acceptsTypedCharacter(static_cast<unsigned char>(ch))) out += ch;
  return out;
}

bool parseReal(const std::string& text, double& value) { return platform::parseDecimal(text, value); }

bool parseInteger(const std::string& text, long long& value) {
  std::int64_t v = 0;
  if (!platform::parseWhole(text, v)) return false;
  value = v;
  return true;
}

}  // namespace settings
