#include "converter/gml/feature_tail.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace gml {

bool endsInsideFeature(const std::filesystem::path& file, std::string_view start, std::string_view end) {
  if (start.empty() || end.empty()) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in.seekg(0, std::ios::end)) return false;
  std::streamoff left = in.tellg();
  constexpr std::streamoff kChunk = 1 << 16;
  // A marker may straddle two chunks: each chunk keeps the head of the one after it.
  const std::size_t keep = std::max(start.size(), end.size()) - 1;
  std::string window, chunk;
  while (left > 0) {
    const std::streamoff n = std::min(kChunk, left);
    left -= n;
    chunk.resize(static_cast<std::size_t>(n));
    if (!in.seekg(left) || !in.read(chunk.data(), n)) return false;
    window = chunk + window.substr(0, std::min(keep, window.size()));
    const auto s = window.rfind(start), e = window.rfind(end);
    if (s != std::string::npos || e != std::string::npos)
      return s != std::string::npos && (e == std::string::npos || s > e);
  }
  return false;
}

}  // namespace gml
