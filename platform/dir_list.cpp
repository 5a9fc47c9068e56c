#include "platform/dir_list.h"

#include <system_error>

namespace platform {
namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the UTF-8 character starting at `pos` ("?" matches a character, not a byte).
std::size_t charLength(std::string_view s, std::size_t pos) {
  std::size_t n = 1;
  while (pos + n < s.size() && (static_cast<unsigned char>(s[pos + n]) & 0xC0) == 0x80) ++n;
  return n;
}

bool sameChar(std::string_view a, std::size_t ap, std::size_t an, std::string_view b,
              std::size_t bp, std::size_t bn) {
  if (an != bn) return false;
  for (std::size_t i = 0; i < an; ++i) {
    if (foldAscii(a[ap + i]) != foldAscii(b[bp + i])) return false;
  }
  return true;
}

template <class Iterator>
void collect(Iterator it, std::string_view pattern, std::vector<std::filesystem::path>& out) {
  std::error_code ec;
  const Iterator end;
  while (it != end) {
    const std::filesystem::directory_entry& entry = *it;
    std::error_code typeEc;
    if (entry.is_regular_file(typeEc) &&
        wildcardMatch(pattern, entry.path().filename().native())) {
      out.push_back(entry.path());
    }
    it.increment(ec);
    if (ec) break;  // the iterator is at its end after a failed step
  }
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  // Greedy matching with one backtrack point: on a mismatch, let the last "*" swallow one
  // more character. Linear in practice and never recursive.
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
      continue;
    }
    if (p < pattern.size()) {
      const std::size_t nl = charLength(name, n);
      if (pattern[p] == '?') {
        ++p;
        n += nl;
        continue;
      }
      const std::size_t pl = charLength(pattern, p);
      if (sameChar(pattern, p, pl, name, n, nl)) {
        p += pl;
        n += nl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    starN += charLength(name, starN);
    n = starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::filesystem::path> listFiles(const std::filesystem::path& folder,
                                             std::string_view pattern, bool recursive) {
  namespace fs = std::filesystem;
  std::vector<fs::path> out;
  std::error_code ec;
  if (recursive) {
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (!ec) collect(std::move(it), pattern, out);
  } else {
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (!ec) collect(std::move(it), pattern, out);
  }
  return out;
}

}  // namespace platform
