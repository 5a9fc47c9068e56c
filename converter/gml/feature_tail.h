#pragma once
// Whether a file stops inside a feature (a cut download): found from its end, so the
// readers' line loops pay nothing for it.
#include <filesystem>
#include <string_view>

namespace gml {

// True when the last of `start` and `end` in the file is `start`. Reads backwards from the
// end until one of them is found; false when neither is there or the file cannot be read.
bool endsInsideFeature(const std::filesystem::path& file, std::string_view start, std::string_view end);

}  // namespace gml
