#include "converter/gml/line_scanner.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "platform/numbers.h"
#include "platform/text_codec.h"

namespace gml {

LineScanner::LineScanner(const std::filesystem::path& file) : file_(kMaxLine) {
  if (!file_.open(file)) throw ReadError("cannot open " + file.string());
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

LineScanner::~LineScanner() = default;

bool LineScanner::rawLine(std::string_view& line) {
  const bool got = file_.next(line);
  if (file_.readError()) throw ReadError("read failed");
  if (got && file_.lastLineCut()) throw ReadError("line too long");
  return got;
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
  double value = 0;
  if (!platform::parseDecimal(text, value)) throw ReadError("not a number: " + std::string(text));
  return value;
}

int parseWhole(std::string_view text) {
  int value = 0;
  if (!platform::parseWhole(text, value)) throw ReadError("not a whole number: " + std::string(text));
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

}  // namespace gml
