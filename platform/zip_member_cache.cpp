#include "platform/zip_member_cache.h"

#include <list>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>

namespace platform::zip_cache {
namespace {

struct Cache {
  std::mutex mutex;
  std::list<std::pair<std::string, Bytes>> entries;  // most recently used first
  std::size_t bytes = 0;
};

Cache& cache() {
  static Cache c;
  return c;
}

// Listings are small; a folder holds a few hundred archives at most.
constexpr std::size_t kMaxListings = 1024;

struct Listings {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const Listing>> byKey;
};

Listings& listings() {
  static Listings l;
  return l;
}

}  // namespace

std::string keyOf(const std::filesystem::path& member, const std::filesystem::path& archiveOnDisk) {
  std::error_code sizeEc, timeEc;
  const auto size = std::filesystem::file_size(archiveOnDisk, sizeEc);
  const auto time = std::filesystem::last_write_time(archiveOnDisk, timeEc);
  if (sizeEc || timeEc) return {};
  return member.native() + '\n' + std::to_string(size) + '\n' + std::to_string(time.time_since_epoch().count());
}

Bytes find(const std::string& key) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
    if (it->first != key) continue;
    c.entries.splice(c.entries.begin(), c.entries, it);
    return it->second;
  }
  return nullptr;
}

void keep(const std::string& key, Bytes bytes) {
  if (key.empty() || !bytes || bytes->size() > kMaxMember) return;
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
    if (it->first != key) continue;
    c.bytes -= it->second->size();
    c.entries.erase(it);
    break;
  }
  c.bytes += bytes->size();
  c.entries.emplace_front(key, std::move(bytes));
  while (c.bytes > kBudget && !c.entries.empty()) {
    c.bytes -= c.entries.back().second->size();
    c.entries.pop_back();
  }
}

std::shared_ptr<const Listing> findListing(const std::string& key) {
  Listings& l = listings();
  std::lock_guard lock(l.mutex);
  const auto it = l.byKey.find(key);
  return it == l.byKey.end() ? nullptr : it->second;
}

void keepListing(const std::string& key, std::shared_ptr<const Listing> listing) {
  if (key.empty()) return;
  Listings& l = listings();
  std::lock_guard lock(l.mutex);
  if (l.byKey.size() >= kMaxListings) l.byKey.clear();
  l.byKey[key] = std::move(listing);
}

}  // namespace platform::zip_cache
