#include "viewer/dxf/entity_record.h"

#include <cstdint>

namespace viewer {

namespace {

// The codes whose last occurrence the viewer reads: entities, VPORT, VIEWPORT and LAYOUT.
constexpr int kTracked[] = {1,  2,  4,  8,  10, 11, 12, 13,  16,  17,  20,  21,  22,  23,  26,  27,
                            30, 31, 32, 33, 36, 37, 40, 41,  42,  43,  44,  45,  50,  51,  62,  67,
                            70, 71, 72, 73, 75, 90, 91, 142, 143, 147, 210, 220, 230, 330, 420, 0};
static_assert(std::size(kTracked) == EntityRecord::kSlotCount);

constexpr int kCodeLimit = 1072;

struct SlotTable {
  std::array<std::int8_t, kCodeLimit> slot{};
  constexpr SlotTable() {
    for (auto& s : slot) s = -1;
    // The trailing 0 only fills the table; group 0 never lies inside a record.
    for (std::size_t i = 0; i + 1 < std::size(kTracked); ++i)
      slot[static_cast<std::size_t>(kTracked[i])] = static_cast<std::int8_t>(i);
  }
};
constexpr SlotTable kSlots;

}  // namespace

int EntityRecord::slotOf(int code) {
  return code >= 0 && code < kCodeLimit ? kSlots.slot[static_cast<std::size_t>(code)] : -1;
}

bool EntityRecord::gather(dxfio::TagReader& reader) {
  type.assign(reader.value());
  line = reader.line();
  pairs.clear();
  values_.clear();
  last_.fill(-1);
  for (;;) {
    if (!reader.next()) return false;
    if (reader.code() == 0) return true;
    const auto v = reader.value();
    // Offsets are 32-bit: a record that long can only be a damaged file; its rest is dropped.
    if (values_.size() + v.size() >= UINT32_MAX || pairs.size() >= INT32_MAX) continue;
    const int s = slotOf(reader.code());
    if (s >= 0) last_[static_cast<std::size_t>(s)] = static_cast<int>(pairs.size());
    pairs.push_back({reader.code(), static_cast<std::uint32_t>(values_.size()), static_cast<std::uint32_t>(v.size()),
                     reader.line()});
    values_.append(v);
  }
}

}  // namespace viewer
