#pragma once
// What the main window hands to other programs: the eight information pages (replaceable
// by "maplink.txt"), the folder whose archives are unpacked, and the folder listings the
// folder buttons and the version button put on the clipboard.
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

inline constexpr std::size_t kPageCount = 8;
inline constexpr const char* kMapLinkFile = "maplink.txt";
// Button captions, in the order of the address lines of "maplink.txt".
extern const std::array<std::string_view, kPageCount> kPageCaptions;
using PageLinks = std::array<std::string, kPageCount>;

PageLinks builtInPageLinks();
// Replaces the addresses in table order from the file's address lines (every second line;
// a short file replaces only the first ones). False, links unchanged, when it cannot be read.
bool readMapLinks(const std::filesystem::path& file, PageLinks& links);

// The folder a "解　凍" button unpacks for a data folder: the path up to and including the
// data set's own folder ("基盤地図情報", "国土数値情報", "国土基本情報") when the path holds
// one, else the path without its last component.
std::string archiveFolderFor(std::string_view folder);

// The version text, CR LF, the label with a colon, the folder, CR LF, then the names of the
// matching files pattern by pattern, each ended by CR LF.
std::string folderListing(std::string_view versionText, std::string_view label, const std::filesystem::path& folder,
                          const std::vector<std::string_view>& patterns, bool recursive);

}  // namespace settings
