#pragma once
// One DXF group held as data: a code and its value, UTF-8.
#include <string>

namespace dxfio {

struct Group {
  int code;
  std::string value;
  bool operator==(const Group&) const = default;
};

}  // namespace dxfio
