#pragma once
// Members read again and again (a DEM file for every sheet it covers, a GML file for every
// reader of its group) are inflated once: the bytes of members up to kMaxMember stay in
// one cache of at most kBudget bytes for the whole process, the least recently used
// leaving first. Larger members are always streamed. Used by zip_archive.cpp only.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace platform::zip_cache {

inline constexpr std::size_t kMaxMember = std::size_t(16) << 20;
inline constexpr std::size_t kBudget = std::size_t(64) << 20;

using Bytes = std::shared_ptr<const std::string>;

// The key of a member: its path with the size and time of the archive file on disk, so
// that a replaced archive is read anew. Empty when the archive cannot be looked at.
std::string keyOf(const std::filesystem::path& member, const std::filesystem::path& archiveOnDisk);
Bytes find(const std::string& key);
void keep(const std::string& key, Bytes bytes);

}  // namespace platform::zip_cache
