#pragma once
// The elevation readers scan their files with the shared line reader and number parsing.
#include "platform/line_file.h"
#include "platform/numbers.h"

namespace elevation {

using LineReader = platform::LineFile;
using platform::parseDecimal;
using platform::parseWhole;

}  // namespace elevation
