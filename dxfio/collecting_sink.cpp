#include "dxfio/collecting_sink.h"

#include <algorithm>

namespace dxfio {

std::string CollectingSink::notation(std::size_t from, std::size_t to) const {
  std::string out;
  for (std::size_t i = from; i < std::min(to, groups.size()); ++i) {
    if (!out.empty()) out += ';';
    out += std::to_string(groups[i].code) + "=" + groups[i].value;
  }
  return out;
}

}  // namespace dxfio
