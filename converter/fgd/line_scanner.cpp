#include "converter/fgd/line_scanner.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "converter/run/dxf_writer.h"
#include "platform/text_codec.h"

namespace fgd {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 20;

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

LineScanner::LineScanner(const std::filesystem::path& file) {
  file_ = std::fopen(file.c_str(), "rb");
  if (!file_) throw ReadError("cannot open " + file.string());
  buffer_.resize(kChunk);
  std::string_view first;
  if (!rawLine(first)) return;
  // A UTF-8 byte order mark is not part of the declaration.
  if (first.size() >= 3 && std::memcmp(first.data(), "\xEF\xBB\xBF", 3) == 0) first.remove_prefix(3);
  std::string lower(first);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  utf8_ = lower.find("utf-8") != std::string::npos;
  if (!utf8_) {
    // Read again from the start in the system code page: the first line is data too.
    firstLine_ = first;
    pendingFirst_ = true;
  }
}

LineScanner::~LineScanner() {
  if (file_) std::fclose(file_);
}

bool LineScanner::fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) {
    if (buffer_.size() >= kMaxLine) throw ReadError("line too long");
    buffer_.resize(buffer_.size() * 2);
  }
  const std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  if (n == 0) {
    if (std::ferror(file_)) throw ReadError("read failed");
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

bool LineScanner::rawLine(std::string_view& line) {
  std::size_t searched = begin_;
  for (;;) {
    const char* start = buffer_.data() + searched;
    const void* nl = std::memchr(start, '\n', end_ - searched);
    if (nl) {
      const std::size_t at = static_cast<const char*>(nl) - buffer_.data();
      std::size_t len = at - begin_;
      line = std::string_view(buffer_.data() + begin_, len);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      consumed_ += len + 1;
      begin_ = at + 1;
      return true;
    }
    const std::size_t offset = end_ - begin_;
    if (!fill()) {
      if (begin_ == end_) return false;
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      consumed_ += end_ - begin_;
      begin_ = end_;
      return true;
    }
    searched = begin_ + offset;
  }
}

bool LineScanner::next(std::string_view& line) {
  if (utf8_) return rawLine(line);
  std::string_view raw;
  if (pendingFirst_) {
    pendingFirst_ = false;
    converted_ = platform::cp932ToUtf8(firstLine_);
    line = converted_;
    return true;
  }
  if (!rawLine(raw)) return false;
  converted_ = platform::cp932ToUtf8(raw);
  line = converted_;
  return true;
}

double parseReal(std::string_view text) {
  text = trimBlanks(text);
  double value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (text.empty() || ec != std::errc() || ptr != last) throw ReadError("not a number: " + std::string(text));
  return value;
}

int parseWhole(std::string_view text) {
  text = trimBlanks(text);
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (text.empty() || ec != std::errc() || ptr != last) throw ReadError("not a whole number: " + std::string(text));
  return value;
}

void parsePosition(std::string_view rest, double& latitude, double& longitude) {
  const auto blank = rest.find(' ');
  if (blank == std::string_view::npos) throw ReadError("position without longitude");
  latitude = parseReal(rest.substr(0, blank));
  longitude = parseReal(valueUpTo(rest.substr(blank + 1)));
}

void parsePair(std::string_view line, double& latitude, double& longitude) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  line.remove_prefix(i);
  const auto blank = line.find(' ');
  if (blank == std::string_view::npos) throw ReadError("coordinate pair without longitude");
  latitude = parseReal(line.substr(0, blank));
  longitude = parseReal(line.substr(blank + 1, 99));
}

std::size_t characterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    if (x < 0x80 && y < 0x80 && std::tolower(x) == std::tolower(y)) continue;
    return false;
  }
  return true;
}

}  // namespace fgd
