#pragma once
// Finds the files of every National Land Numerical Information item that is on and calls
// the readers that the item and the drawing pass select.
#include <string>

#include "converter/sheet/entity_writer.h"
#include "converter/sheet/run_context.h"

namespace mlit {

inline constexpr int kCountPassMask = 0x7FFFFFFF;
// Areas under everything, then lines and area-like readers, then point labels, and area
// labels on top.
inline constexpr int kAreaPassMask = 0x7FFFFF40;
inline constexpr int kLinePassMask = 62;
inline constexpr int kPointPassMask = 1;
inline constexpr int kLabelPassMask = 128;

// The counting pass: adds to fileCounter the files of every item that is on.
void dispatchMlitFiles(sheet::RunContext& context, const std::string& folder);
// A drawing pass: every file of every item that is on, items from the last to the first,
// read for every sheet (the readers test each feature against the sheet).
void dispatchMlitFiles(sheet::RunContext& context, sheet::EntityWriter& out, const std::string& folder, int passMask);

// The file pattern of an item: the first four characters of its key, then "*.xml".
std::string mlitFilePattern(const std::string& key);

}  // namespace mlit
