#pragma once
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace geo {

// One pair of the run's shared buffer: a coordinate pair of a feature, or (first value)
// an elevation cell.
struct PointPair {
  double x, y;
};

// Allocates zeroed memory and leaves value-initialised elements as they are: a buffer of
// millions of pairs made as PointBuffer(n) costs its pages only where it is written (the
// system hands out untouched zero pages), not a pass over all of it at the run's start.
// Regrowing a buffer that was shrunk would leave the old pairs in place: make a new one.
template <typename T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <typename U>
  ZeroedAllocator(const ZeroedAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
    throw std::bad_alloc();
  }
  void deallocate(T* p, std::size_t) { std::free(p); }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) > 0) ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const ZeroedAllocator<U>&) const {
    return true;
  }
};

using PointBuffer = std::vector<PointPair, ZeroedAllocator<PointPair>>;

}  // namespace geo
