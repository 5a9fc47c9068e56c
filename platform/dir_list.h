#pragma once
// File listing by wildcard pattern, as the data readers and folder listings use it.
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/zip_archive.h"

namespace platform {

// "*" matches any run of characters, "?" one character; case-insensitive for ASCII
// letters (file masks such as "*dem5*.xml" meet names such as "...-DEM5A-....xml").
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Regular files directly in `folder` (and in all its subfolders when `recursive`) whose
// name matches `pattern`. Order is the file system's. A missing or unreadable folder
// yields what could be listed (possibly nothing); it never throws.
std::vector<std::filesystem::path> listFiles(const std::filesystem::path& folder, std::string_view pattern,
                                             bool recursive);

// What the data readers list: the files of listFiles and the members of every "*.zip"
// that listFiles finds (nested archives included) whose names match `pattern`, as member
// paths (zip_archive.h), all sorted by path so that a folder and the archive it was
// packed from list the same files in the same order. A member whose file name is already
// listed (as a file, or in an archive earlier by path) is left out. Archives that cannot
// be read are added to `problems`.
std::vector<std::filesystem::path> listDataFiles(const std::filesystem::path& folder, std::string_view pattern,
                                                 bool recursive, std::vector<ArchiveProblem>& problems);

}  // namespace platform
