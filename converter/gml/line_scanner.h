#pragma once
// Line-by-line reading of the published GML files, shared by every vector reader: the
// encoding from the first line, tag tests that shorten the line, element values, numbers
// read without the locale, positions and coordinate pairs.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_file.h"
#include "platform/text.h"

namespace gml {

// Anything that ends a reader's work on a file: unreadable file, a number that does not
// parse, an index outside the item lists.
struct ReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The file is not there or cannot be opened.
struct OpenError : ReadError {
  using ReadError::ReadError;
};

struct ScanOptions {
  std::size_t maxLine = std::size_t(16) << 20;
  // Longer lines: a ReadError, or cut at maxLine with the rest of the line dropped.
  enum class LongLines { fail, cut } longLines = LongLines::fail;
  // Lines of a CP932 file: handed on in UTF-8, or as read for readers that look for ASCII
  // tags and numbers only (CP932 keeps ASCII as it is, and no byte of a double-byte
  // character is "<", ",", a blank or a digit).
  enum class Cp932Lines { converted, asRead } cp932Lines = Cp932Lines::converted;
};

// A line with a note of what follows each of its "<"s: the next character (bit c % 64 of
// afterOpen) and a hash of the next six (a bit of afterOpen6). Most tag tests of a reader
// then fail on one bit instead of a search of the line. The note covers the line as read;
// taking a tag leaves it a superset of what is left, which keeps the tests sound.
struct TagLine {
  std::string_view text;
  std::uint64_t afterOpen = 0, afterOpen6 = 0;
  bool hasOpen = false;  // a "<" anywhere in the line as read

  operator std::string_view() const { return text; }
  static unsigned hash6(const char* p) {
    // Two loads into registers: six bytes copied into a wider word stall on the store.
    std::uint32_t low;
    std::uint16_t high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + 4, 2);
    const std::uint64_t v = low | std::uint64_t{high} << 32;
    return static_cast<unsigned>((v * 0x9E3779B97F4A7C15ull) >> 58);
  }
  void noteTags() {
    afterOpen = afterOpen6 = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    hasOpen = false;
    while ((p = static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p))))) {
      hasOpen = true;
      if (++p == end) break;
      afterOpen |= std::uint64_t{1} << (static_cast<unsigned char>(*p) & 63);
      if (end - p >= 6) afterOpen6 |= std::uint64_t{1} << hash6(p);
    }
  }
  // False when the line cannot hold `tag` (a tag of "<" and at least one more character).
  bool mayHold(std::string_view tag) const {
    if (tag.size() < 2 || tag[0] != '<') return true;
    if (tag.size() >= 7) return afterOpen6 >> hash6(tag.data() + 1) & 1;
    return afterOpen >> (static_cast<unsigned char>(tag[1]) & 63) & 1;
  }
};

class LineScanner {
 public:
  // Opens the file and reads its first line: a first line naming "utf-8" keeps the file
  // as UTF-8 (and is itself consumed); otherwise every line, the first included, is read
  // as CP932. Throws OpenError when the file cannot be opened and ReadError when its first
  // line cannot be read.
  explicit LineScanner(const std::filesystem::path& file, const ScanOptions& options = {});
  ~LineScanner();
  LineScanner(const LineScanner&) = delete;
  LineScanner& operator=(const LineScanner&) = delete;

  // The next line without its line end; false at the end of the file. The view lives
  // until the next call. Throws ReadError on a read failure or a runaway line.
  bool next(std::string_view& line) { return direct_ ? rawLine(line) : cp932Line(line); }
  bool next(TagLine& line) {
    if (!next(line.text)) return false;
    line.noteTags();
    return true;
  }
  // Back to the start of the file: from there every line is handed out, the first one
  // included, in the encoding found at opening. False when the file cannot be read again.
  bool rewind();

  bool utf8() const { return utf8_; }
  // Number of the line `next` handed out last, counting every line of the file from 1.
  std::int64_t lineNumber() const { return file_.lineNumber(); }
  std::uint64_t bytesRead() const { return file_.bytesConsumed(); }

 private:
  // Inline: every line of the large files passes here. The line file reads nothing more
  // after a read failure, so the failure shows where a line was not read.
  bool rawLine(std::string_view& line) {
    if (file_.next(line)) {
      if (file_.lastLineCut()) [[unlikely]]
        lineCut();
      return true;
    }
    if (file_.readError()) [[unlikely]]
      throw ReadError("read failed");
    return false;
  }
  void lineCut() const;
  bool cp932Line(std::string_view& line);
  platform::LineFile file_;
  ScanOptions options_;
  bool utf8_ = true;
  bool direct_ = true;  // lines go out as the line file reads them
  bool pendingFirst_ = false;
  std::string firstLine_;
  std::string converted_;
};

// When `line` contains `tag`, drops everything up to and including it and returns true.
inline bool take(std::string_view& line, std::string_view tag) {
  const auto at = line.find(tag);
  if (at == std::string_view::npos) return false;
  line.remove_prefix(at + tag.size());
  return true;
}
inline bool take(TagLine& line, std::string_view tag) { return line.mayHold(tag) && take(line.text, tag); }
inline bool contains(const TagLine& line, std::string_view part) {
  return line.mayHold(part) && line.text.find(part) != std::string_view::npos;
}
// True when the line can hold no tag at all (coordinate lines).
inline bool tagFree(std::string_view line) { return line.empty() || !std::memchr(line.data(), '<', line.size()); }
inline bool tagFree(const TagLine& line) { return !line.hasOpen; }

// The text of an element after its tag was taken: up to the next "<" (or `stop`).
inline std::string_view valueUpTo(std::string_view rest, std::string_view stop = "<") {
  const auto at = rest.find(stop);
  return at == std::string_view::npos ? rest : rest.substr(0, at);
}

// Decimal numbers with a full stop, whatever the locale; blanks around them are allowed.
// Throw ReadError when the text is not a number.
double parseReal(std::string_view text);
int parseWhole(std::string_view text);

// The two values of a position after its tag ("<gml:pos>", corners, grid limits): the
// first up to the first blank, the second from there to the next "<". False without a blank.
bool splitPosition(std::string_view rest, std::string_view& first, std::string_view& second);
// "lat lon" of a "<gml:pos>" value (the text after the tag), split as above.
void parsePosition(std::string_view rest, double& latitude, double& longitude);
// The tags around a coordinate list, one pair a line between them.
inline constexpr std::string_view kPosListStart = "<gml:posList>";
inline constexpr std::string_view kPosListEnd = "</gml:posList>";

// One coordinate line of a "<gml:posList>": leading blanks skipped, latitude up to the
// next blank, the rest (at most 99 characters) the longitude.
void parsePair(std::string_view line, double& latitude, double& longitude);
// The same for a pair in the published layout ("lat lon", plain decimals, at most blanks
// or a CR after it), with the same values; false, without throwing, for any other line.
bool readPlainPair(std::string_view line, double& latitude, double& longitude);

// The readers name these text helpers through the scanner.
using platform::characterCount;
using platform::contains;  // and the TagLine form above
using platform::equalsNoCase;

}  // namespace gml
