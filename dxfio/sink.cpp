#include "dxfio/sink.h"

#include <string>

#include "dxfio/real_format.h"

namespace dxfio {

void Sink::vertices(std::span<const Vertex> list) {
  std::string number;
  for (const auto& v : list) {
    number.clear();
    appendReal(number, v.x);
    pair(10, number);
    number.clear();
    appendReal(number, v.y);
    pair(20, number);
  }
}

}  // namespace dxfio
