#include "platform/dir_list.h"

#include <algorithm>
#include <set>
#include <string>
#include <system_error>

#include "platform/text.h"

namespace platform {
namespace {

template <class Iterator>
void collect(Iterator it, std::string_view pattern, std::vector<std::filesystem::path>& out) {
  std::error_code ec;
  const Iterator end;
  while (it != end) {
    const std::filesystem::directory_entry& entry = *it;
    std::error_code typeEc;
    if (entry.is_regular_file(typeEc) && wildcardMatch(pattern, entry.path().filename().native())) {
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
      const std::size_t nl = characterLength(name, n);
      if (pattern[p] == '?') {
        ++p;
        n += nl;
        continue;
      }
      const std::size_t pl = characterLength(pattern, p);
      if (equalsNoCase(pattern.substr(p, pl), name.substr(n, nl))) {
        p += pl;
        n += nl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    starN += characterLength(name, starN);
    n = starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::filesystem::path> listFiles(const std::filesystem::path& folder, std::string_view pattern,
                                             bool recursive) {
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

std::vector<std::filesystem::path> listDataFiles(const std::filesystem::path& folder, std::string_view pattern,
                                                 bool recursive, std::vector<ArchiveProblem>& problems) {
  auto out = listFiles(folder, pattern, recursive);
  // Published file names are unique: a member already present as a file (an archive
  // extracted beside itself) or in an earlier archive is the same data, read once.
  std::set<std::string> seen;
  for (const auto& file : out) seen.insert(file.filename().native());
  auto archives = listFiles(folder, "*.zip", recursive);
  std::sort(archives.begin(), archives.end());
  for (const auto& archive : archives)
    for (auto& member : listArchiveMembers(archive, pattern, problems))
      if (seen.insert(member.filename().native()).second) out.push_back(std::move(member));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace platform
