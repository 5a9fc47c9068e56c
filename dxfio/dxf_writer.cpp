#include "dxfio/dxf_writer.h"

#include <charconv>

namespace dxfio {

void DxfWriter::pair(int code, long long value) {
  char buf[24];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  sink_.pair(code, std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

void DxfWriter::pair(int code, double value) {
  number_.clear();
  appendReal(number_, value);
  sink_.pair(code, number_);
}

}  // namespace dxfio
