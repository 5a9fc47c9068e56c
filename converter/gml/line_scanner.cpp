#include "converter/gml/line_scanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/numbers.h"
#include "platform/text_codec.h"

namespace gml {

LineScanner::LineScanner(const std::filesystem::path& file, const ScanOptions& options)
    : file_(options.maxLine), options_(options) {
  if (!file_.open(file)) throw OpenError("cannot open " + file.string());
  std::string_view first;
  if (!rawLine(first)) return;
  // A UTF-8 byte order mark is not part of the declaration.
  if (first.size() >= 3 && std::memcmp(first.data(), "\xEF\xBB\xBF", 3) == 0) first.remove_prefix(3);
  utf8_ = contains(platform::lowerAscii(first), "utf-8");
  if (!utf8_) {
    // Read again from the start in the system code page: the first line is data too.
    firstLine_ = first;
    pendingFirst_ = true;
    direct_ = false;
  }
}

LineScanner::~LineScanner() = default;

void LineScanner::lineCut() const {
  if (options_.longLines == ScanOptions::LongLines::fail) throw ReadError("line too long");
}

bool LineScanner::cp932Line(std::string_view& line) {
  const bool asRead = options_.cp932Lines == ScanOptions::Cp932Lines::asRead;
  if (pendingFirst_) {
    pendingFirst_ = false;
    direct_ = asRead;
    if (asRead) {
      line = firstLine_;
      return true;
    }
    converted_ = platform::cp932ToUtf8(firstLine_);
    line = converted_;
    return true;
  }
  std::string_view raw;
  if (!rawLine(raw)) return false;
  converted_ = platform::cp932ToUtf8(raw);
  line = converted_;
  return true;
}

bool LineScanner::rewind() {
  pendingFirst_ = false;
  direct_ = utf8_ || options_.cp932Lines == ScanOptions::Cp932Lines::asRead;
  return file_.rewind();
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

bool splitPosition(std::string_view rest, std::string_view& first, std::string_view& second) {
  const auto blank = rest.find(' ');
  if (blank == std::string_view::npos) return false;
  first = rest.substr(0, blank);
  second = valueUpTo(rest.substr(blank + 1));
  return true;
}

void parsePosition(std::string_view rest, double& latitude, double& longitude) {
  std::string_view first, second;
  if (!splitPosition(rest, first, second)) throw ReadError("position without longitude");
  latitude = parseReal(first);
  longitude = parseReal(second);
}

bool readPlainPair(std::string_view line, double& latitude, double& longitude) {
  // Plain loops instead of the string searches: this runs for every coordinate line.
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  double la, lo;
  const std::size_t a = platform::leadingDecimal(line.substr(i), la);
  i += a;
  if (a == 0 || i >= line.size() || line[i] != ' ') return false;
  ++i;
  const std::size_t b = platform::leadingDecimal(line.substr(i), lo);
  if (b == 0) return false;
  for (i += b; i < line.size(); ++i)
    if (line[i] != ' ' && line[i] != '\t' && line[i] != '\r') return false;
  latitude = la;
  longitude = lo;
  return true;
}

void parsePair(std::string_view line, double& latitude, double& longitude) {
  // The published layout, "lat lon" and at most blanks or a CR after it, read in place.
  if (readPlainPair(line, latitude, longitude)) return;
  line = platform::trimStart(line, " ");
  const auto blank = line.find(' ');
  if (blank == std::string_view::npos) throw ReadError("coordinate pair without longitude");
  latitude = parseReal(line.substr(0, blank));
  longitude = parseReal(line.substr(blank + 1, 99));
}

}  // namespace gml
