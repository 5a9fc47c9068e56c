#pragma once
// Members read again and again (a DEM file for every sheet it covers, a GML file for every
// reader of its group) are inflated once: the bytes of members up to kMaxMember stay in
// one cache of at most kBudget bytes for the whole process, the least recently used
// leaving first. Larger members are always streamed. And archives listed again and again
// (once per group and sheet) are opened once: their whole listing is kept, nested
// archives included. Used by zip_archive.cpp only.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/zip_archive.h"

namespace platform::zip_cache {

inline constexpr std::size_t kMaxMember = std::size_t(16) << 20;
inline constexpr std::size_t kBudget = std::size_t(64) << 20;

using Bytes = std::shared_ptr<const std::string>;

// The key of a member: its path with the size and time of the archive file on disk, so
// that a replaced archive is read anew. Empty when the archive cannot be looked at.
std::string keyOf(const std::filesystem::path& member, const std::filesystem::path& archiveOnDisk);
Bytes find(const std::string& key);
void keep(const std::string& key, Bytes bytes);

// Every member of an archive but nested archives (which are listed through), sorted, and
// what could not be listed.
struct Listing {
  std::vector<std::filesystem::path> members;
  std::vector<ArchiveProblem> problems;
};
std::shared_ptr<const Listing> findListing(const std::string& key);
void keepListing(const std::string& key, std::shared_ptr<const Listing> listing);

}  // namespace platform::zip_cache
