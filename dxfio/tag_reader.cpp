#include "dxfio/tag_reader.h"

#include "platform/text.h"

namespace dxfio {

int parseGroupCode(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  if (i == text.size() || text.size() - i > 9) return TagReader::kNoCode;
  int value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return TagReader::kNoCode;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

bool TagReader::open(const std::filesystem::path& path) {
  stopped_ = false;
  code_ = kNoCode;
  value_ = {};
  line_ = 0;
  return lines_.open(path);
}

bool TagReader::rewind() {
  stopped_ = false;
  code_ = kNoCode;
  value_ = {};
  line_ = 0;
  return lines_.rewind();
}

bool TagReader::next() {
  if (stopped_) return false;
  std::string_view text;
  if (!lines_.next(text)) return false;
  line_ = lines_.lineNumber();
  code_ = parseGroupCode(platform::trimStart(text));
  if (!lines_.next(text)) return false;
  text = platform::trimStart(text);
  if (code_ != 1 && code_ != 2 && code_ != 8) {
    // Most values hold no small letter (numbers, names written in capitals): those are
    // handed out as they lie in the buffer.
    std::size_t i = 0;
    while (i < text.size() && !(text[i] >= 'a' && text[i] <= 'z')) ++i;
    if (i < text.size()) {
      upper_.assign(text);
      for (std::size_t k = i; k < upper_.size(); ++k) {
        if (upper_[k] >= 'a' && upper_[k] <= 'z') upper_[k] = static_cast<char>(upper_[k] - 'a' + 'A');
      }
      text = upper_;
    }
  }
  value_ = text;
  return true;
}

}  // namespace dxfio
