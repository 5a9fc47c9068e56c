#pragma once
// Files that are whole or absent: written under a temporary name beside the real one and
// renamed over it when complete, so a full disk, a write error or an abort never leaves a
// truncated file under the real name. Special files (a device, a pipe) are written in
// place, and a symbolic link is followed to the file it names.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Where to write `file`'s bytes: a hidden partial name in the folder of the file it names,
// or `file` itself for a special file.
std::filesystem::path partialName(const std::filesystem::path& file);
// Puts the complete partial file in place of `file` (nothing when they are the same).
bool commitFile(const std::filesystem::path& partial, const std::filesystem::path& file, std::string* error);
// Removes a partial file left by a failed or abandoned write (never `file` itself).
void discardPartial(const std::filesystem::path& partial, const std::filesystem::path& file);
// Writes all of `bytes` as `file`, whole or not at all.
bool replaceFile(const std::filesystem::path& file, std::string_view bytes, std::string* error);

// The system's words for an error number, and whether it is a reason the user must act on
// (no space, a read-only disk, no permission, a missing folder) rather than a file held
// by another program.
std::string systemReason(int errorNumber);
bool isStorageReason(int errorNumber);

}  // namespace platform
