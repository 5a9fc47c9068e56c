#pragma once
// Plane coordinates converted ahead by a spare thread for the sheet being drawn. The
// extended-precision conversion is the larger part of drawing a vector file; a helper
// thread converts each of the sheet's files from its end backwards, block by block, while
// the sheet's own thread reads it from the start, and stops where the two meet. A stored
// pair holds the very values the sheet's thread would compute, so the sheet's bytes do not
// depend on how far the helper got.
#include <atomic>
#include <cstddef>
#include <cfenv>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "converter/geo/plane_coordinates.h"

namespace sheet {

class SharedConversions {
 public:
  // `files`: the sheet's files in the order the sheet reads them; `coordinates`: the sheet's.
  SharedConversions(std::vector<std::filesystem::path> files, const geo::PlaneCoordinates& coordinates);
  ~SharedConversions();
  SharedConversions(const SharedConversions&) = delete;
  SharedConversions& operator=(const SharedConversions&) = delete;

  // Where the two threads are in one file (byte offsets): the helper has converted every
  // coordinate line that starts at or after helperFrom; the sheet's thread has read up to
  // drawerAt.
  struct FileShare {
    std::atomic<std::uint64_t> helperFrom{UINT64_MAX};
    std::atomic<std::uint64_t> drawerAt{0};
  };
  FileShare& file(const std::filesystem::path& path);

  // x northing, y easting of a pair the helper stored; false when it did not.
  bool find(double longitude, double latitude, double& x, double& y) const;
  // The helper, before its first pair: takes the table's memory for about `pairs` pairs
  // (at most kMostSlots / 2) with every page in place. A page first read by the sheet's
  // thread and then written by the helper would interrupt the sheet's thread on each
  // such page; false when the memory is not there.
  bool prepare(std::size_t pairs);
  static constexpr std::size_t kMostSlots = std::size_t{1} << 20;  // 40 MB
  // Stores a converted pair; false when the table is full enough for the helper to stop.
  bool insert(double longitude, double latitude, double x, double y);

  const std::vector<std::filesystem::path> files;
  // Stored pairs stand in for a reader's own conversions only where its coordinates
  // convert like these (PlaneCoordinates::convertsLike).
  const geo::PlaneCoordinates coordinates;
  // The floating-point environment of the sheet's thread (precision and rounding), taken
  // at construction: the helper converts under it, so that its values are that thread's.
  std::fenv_t environment;
  // Set when the sheet's thread is past its files, or the run stops: the helper ends.
  std::atomic<bool> stop{false};

 private:
  struct Slot {
    std::uint32_t state;  // 0 empty, 1 being written, 2 stored
    std::uint32_t unused;
    std::uint64_t longitude, latitude;
    double x, y;
  };
  std::atomic<Slot*> slots_{nullptr};
  std::size_t bytes_ = 0, mask_ = 0, limit_ = 0;
  std::atomic<std::size_t> stored_{0};
  std::mutex mutex_;
  std::unordered_map<std::string, std::unique_ptr<FileShare>> files_;
};

}  // namespace sheet
