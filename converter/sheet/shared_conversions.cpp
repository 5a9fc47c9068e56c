#include "converter/sheet/shared_conversions.h"

#include <algorithm>
#include <bit>
#include <sys/mman.h>

namespace sheet {

namespace {

constexpr int kProbes = 16;

std::size_t slotOf(std::uint64_t longitude, std::uint64_t latitude) {
  return static_cast<std::size_t>(((longitude * 0x9E3779B97F4A7C15ull) ^ (latitude * 0xC2B2AE3D27D4EB4Full)) >> 17);
}

}  // namespace

SharedConversions::SharedConversions(std::vector<std::filesystem::path> list, const geo::PlaneCoordinates& c)
    : files(std::move(list)), coordinates(c) {
  std::fegetenv(&environment);
}

SharedConversions::~SharedConversions() {
  if (Slot* s = slots_.load()) ::munmap(s, bytes_);
}

bool SharedConversions::prepare(std::size_t pairs) {
  // Twice the pairs: probes stay short until the helper stops at half.
  const std::size_t n = std::bit_ceil(std::clamp<std::size_t>(2 * pairs, 1024, kMostSlots));
  const std::size_t bytes = n * sizeof(Slot);
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return false;
  // Large pages where the system gives them: fewer faults now, fewer misses per look-up.
  ::madvise(p, bytes, MADV_HUGEPAGE);
  for (std::size_t at = 0; at < bytes; at += 4096) static_cast<volatile char*>(p)[at] = 0;
  bytes_ = bytes;
  mask_ = n - 1;
  limit_ = n / 2;
  slots_.store(static_cast<Slot*>(p), std::memory_order_release);
  return true;
}

SharedConversions::FileShare& SharedConversions::file(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  auto& share = files_[path.string()];
  if (!share) share = std::make_unique<FileShare>();
  return *share;
}

bool SharedConversions::insert(double longitude, double latitude, double x, double y) {
  Slot* const slots = slots_.load(std::memory_order_relaxed);
  if (!slots || stored_.load(std::memory_order_relaxed) >= limit_) return false;
  const auto lon = std::bit_cast<std::uint64_t>(longitude), lat = std::bit_cast<std::uint64_t>(latitude);
  const std::size_t first = slotOf(lon, lat);
  for (int probe = 0; probe < kProbes; ++probe) {
    Slot& s = slots[(first + static_cast<std::size_t>(probe)) & mask_];
    std::atomic_ref<std::uint32_t> state(s.state);
    // A slot already taken holds another pair, or this one.
    std::uint32_t seen = 0;
    if (!state.compare_exchange_strong(seen, 1, std::memory_order_acq_rel)) {
      if (seen == 2 && s.longitude == lon && s.latitude == lat) return true;
      continue;
    }
    s.longitude = lon;
    s.latitude = lat;
    s.x = x;
    s.y = y;
    state.store(2, std::memory_order_release);
    stored_.fetch_add(1, std::memory_order_relaxed);
    return true;
  }
  return true;  // a crowded neighbourhood: this pair is left to the sheet's thread
}

bool SharedConversions::find(double longitude, double latitude, double& x, double& y) const {
  Slot* const slots = slots_.load(std::memory_order_acquire);
  if (!slots) return false;
  const auto lon = std::bit_cast<std::uint64_t>(longitude), lat = std::bit_cast<std::uint64_t>(latitude);
  const std::size_t first = slotOf(lon, lat);
  for (int probe = 0; probe < kProbes; ++probe) {
    Slot& s = slots[(first + static_cast<std::size_t>(probe)) & mask_];
    const std::uint32_t state = std::atomic_ref<std::uint32_t>(s.state).load(std::memory_order_acquire);
    if (state == 0) return false;
    if (state == 2 && s.longitude == lon && s.latitude == lat) {
      x = s.x;
      y = s.y;
      return true;
    }
  }
  return false;
}

}  // namespace sheet
