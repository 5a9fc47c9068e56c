#include "platform/dir_list.h"

#include <algorithm>
#include <set>
#include <string>
#include <system_error>

#include "platform/text.h"

namespace platform {
namespace {

template <class Iterator, class Take>
void collect(Iterator it, Take take) {
  std::error_code ec;
  const Iterator end;
  while (it != end) {
    const std::filesystem::directory_entry& entry = *it;
    std::error_code typeEc;
    if (entry.is_regular_file(typeEc)) take(entry.path());
    it.increment(ec);
    if (ec) break;  // the iterator is at its end after a failed step
  }
}

// Every regular file of `folder` (and its subfolders when `recursive`) to `take`.
template <class Take>
void walk(const std::filesystem::path& folder, bool recursive, Take take) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (recursive) {
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (!ec) collect(std::move(it), take);
  } else {
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (!ec) collect(std::move(it), take);
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
  std::vector<std::filesystem::path> out;
  walk(folder, recursive, [&](const std::filesystem::path& file) {
    if (wildcardMatch(pattern, file.filename().native())) out.push_back(file);
  });
  return out;
}

std::vector<std::filesystem::path> listDataFiles(const std::filesystem::path& folder, std::string_view pattern,
                                                 bool recursive, std::vector<ArchiveProblem>& problems) {
  std::vector<std::filesystem::path> out, archives;
  walk(folder, recursive, [&](const std::filesystem::path& file) {
    const std::string name = file.filename().native();
    if (wildcardMatch(pattern, name))
      out.push_back(file);
    else if (isArchiveName(name))
      archives.push_back(file);
  });
  // Published file names are unique: a member already present as a file (an archive
  // extracted beside itself) or in an earlier archive is the same data, read once.
  std::set<std::string> seen;
  for (const auto& file : out) seen.insert(file.filename().native());
  std::sort(archives.begin(), archives.end());
  for (const auto& archive : archives)
    for (auto& member : listArchiveMembers(archive, pattern, problems))
      if (seen.insert(member.filename().native()).second) out.push_back(std::move(member));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace platform
