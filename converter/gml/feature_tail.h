#pragma once
// Whether a file stops inside a feature (a cut download): found from its end, so the
// readers' line loops pay nothing for it.
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace gml {

// True when the last of `start` and `end` in the file is `start`. Reads backwards from the
// end until one of them is found; false when neither is there or the file cannot be read.
bool endsInsideFeature(const std::filesystem::path& file, std::string_view start, std::string_view end);

// True when the file's last tag (blanks after it aside) does not close the element its
// first tag opened: for readers whose features have no fixed element. False when the file
// names no element or cannot be read.
bool endsBeforeRootEnd(const std::filesystem::path& file);

// Lines of the file, the last one counted without its line end (for the report of a cut file).
std::int64_t lineCount(const std::filesystem::path& file);

}  // namespace gml
