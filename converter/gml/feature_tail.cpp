#include "converter/gml/feature_tail.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <string_view>

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

bool endsBeforeRootEnd(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string head(4096, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  // The first element: past the declaration, comments and a byte-order mark.
  std::size_t at = 0;
  for (;;) {
    at = head.find('<', at);
    if (at == std::string::npos || at + 1 >= head.size()) return false;
    if (std::isalpha(static_cast<unsigned char>(head[at + 1]))) break;
    ++at;
  }
  const std::size_t nameEnd = head.find_first_of(" \t\r\n/>", at + 1);
  if (nameEnd == std::string::npos) return false;
  const std::string closing = "</" + head.substr(at + 1, nameEnd - at - 1) + ">";
  in.clear();
  if (!in.seekg(0, std::ios::end)) return false;
  const std::streamoff size = in.tellg();
  const std::streamoff n = std::min<std::streamoff>(size, 4096);
  std::string tail(static_cast<std::size_t>(n), '\0');
  if (!in.seekg(size - n) || !in.read(tail.data(), n)) return false;
  const std::size_t last = tail.find_last_not_of(" \t\r\n");
  return last == std::string::npos || !std::string_view(tail).substr(0, last + 1).ends_with(closing);
}

std::int64_t lineCount(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::int64_t lines = 0;
  char last = '\n';
  std::string chunk(1 << 16, '\0');
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    const auto n = static_cast<std::size_t>(in.gcount());
    lines += std::count(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n), '\n');
    last = chunk[n - 1];
  }
  return lines + (last != '\n');
}

}  // namespace gml
