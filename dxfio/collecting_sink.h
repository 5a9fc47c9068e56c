#pragma once
// Keeps the groups in a list instead of a file, so a test can look at what a producer
// wrote as (code, value) pairs, UTF-8, without reading any file back.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dxfio/group.h"
#include "dxfio/sink.h"

namespace dxfio {

class CollectingSink final : public Sink {
 public:
  void pair(int code, std::string_view value) override { groups.push_back({code, std::string(value)}); }
  void markHandleSeed() override { handleSeedIndex = groups.size(); }

  // "0=SECTION;2=HEADER": the groups [from, to) in the record notation.
  std::string notation(std::size_t from = 0, std::size_t to = std::string::npos) const;

  std::vector<Group> groups;
  std::size_t handleSeedIndex = std::string::npos;
};

}  // namespace dxfio
