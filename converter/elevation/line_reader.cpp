#include "converter/elevation/line_reader.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace elevation {

bool LineReader::open(const std::filesystem::path& path) {
  close();
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return false;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  return rewind();
}

void LineReader::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool LineReader::rewind() {
  begin_ = end_ = 0;
  eof_ = error_ = skipRest_ = false;
  lineNumber_ = 0;
  if (!file_ || std::fseek(file_, 0, SEEK_SET) != 0) {
    error_ = true;
    return false;
  }
  return true;
}

bool LineReader::fill() {
  // Keep the unfinished line at the front and read behind it.
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (eof_ || end_ == kBufferSize) return false;
  const std::size_t got = std::fread(buffer_.get() + end_, 1, kBufferSize - end_, file_);
  end_ += got;
  if (got == 0) {
    eof_ = true;
    if (std::ferror(file_)) error_ = true;
    return false;
  }
  return true;
}

bool LineReader::next(std::string_view& line) {
  if (!file_) return false;
  for (;;) {
    char* base = buffer_.get();
    const char* nl = static_cast<const char*>(std::memchr(base + begin_, '\n', end_ - begin_));
    if (nl) {
      std::size_t length = static_cast<std::size_t>(nl - (base + begin_));
      const char* start = base + begin_;
      begin_ += length + 1;
      if (skipRest_) {  // the tail of a cut line
        skipRest_ = false;
        continue;
      }
      if (length > 0 && start[length - 1] == '\r') --length;
      line = std::string_view(start, length);
      ++lineNumber_;
      return true;
    }
    if (fill()) continue;
    if (end_ - begin_ == kBufferSize) {
      // A line longer than the buffer: hand out what fits, drop the rest.
      line = std::string_view(base, kBufferSize);
      begin_ = end_ = 0;
      if (skipRest_) continue;
      skipRest_ = true;
      ++lineNumber_;
      return true;
    }
    if (begin_ == end_ || error_) return false;
    // The last line has no line end.
    const char* start = base + begin_;
    std::size_t length = end_ - begin_;
    begin_ = end_;
    if (skipRest_) return false;
    if (start[length - 1] == '\r') --length;
    line = std::string_view(start, length);
    ++lineNumber_;
    return true;
  }
}

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

bool parseDecimal(std::string_view text, double& value) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  double v;
  auto [p, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
  if (ec != std::errc() || p != end || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool parseWhole(std::string_view text, std::int64_t& value) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  std::int64_t v;
  auto [p, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || p != end) return false;
  value = v;
  return true;
}

}  // namespace elevation
