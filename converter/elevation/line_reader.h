#pragma once
// The elevation readers scan their files with the shared line reader and number parsing.
#include <string_view>

#include "platform/line_file.h"
#include "platform/numbers.h"

namespace elevation {

using LineReader = platform::LineFile;
using platform::parseDecimal;
using platform::parseWhole;

inline bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace elevation
