#pragma once
// One entity (or table entry, or object) as read from the file: its type and the pairs
// that follow its 0 line up to the next one, kept in one reused buffer.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dxfio/tag_reader.h"

namespace viewer {

class EntityRecord {
 public:
  struct Pair {
    int code;
    std::uint32_t offset, size;
    std::int64_t line;
  };

  std::string type;
  std::int64_t line = 0;
  std::vector<Pair> pairs;

  // Starts at the reader's current pair (the 0 pair naming the type) and reads up to the
  // next group 0, where the reader is left: true then, false at the end of the file.
  bool gather(dxfio::TagReader& reader);

  std::string_view value(std::size_t i) const { return {values_.data() + pairs[i].offset, pairs[i].size}; }
  // Index of the last pair with `code`, -1 when there is none. Only the codes the viewer
  // reads are tracked; any other code gives -1.
  int last(int code) const {
    const int s = slotOf(code);
    return s < 0 ? -1 : last_[static_cast<std::size_t>(s)];
  }
  bool has(int code) const { return last(code) >= 0; }

  static constexpr std::size_t kSlotCount = 48;
  static int slotOf(int code);

 private:
  std::string values_;
  std::array<int, kSlotCount> last_{};
};

}  // namespace viewer
