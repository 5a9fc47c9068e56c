#pragma once
// Streaming reader of the group pairs of an ASCII DXF file: a code line and a value line.
// Leading blanks are removed from both lines (trailing blanks stay); the value is upper-cased
// (ASCII letters only) unless the code is 1, 2 or 8, so texts and names keep their case and
// every other value compares in upper case. CR LF and LF line ends alike. The file is read
// through one large buffer and the value handed out as a view, without a copy per line.
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/line_file.h"

namespace dxfio {

class TagReader {
 public:
  // The code of a code line that is not a whole number: it equals no code.
  static constexpr int kNoCode = INT_MIN;

  bool open(const std::filesystem::path& path);
  void close() { lines_.close(); }
  // Back to the first pair.
  bool rewind();

  // The next pair. False at the end of the file (a code line without its value line ends
  // it too), after a read error and after `stop()`.
  bool next();
  int code() const { return code_; }
  // Lives until the next call of `next()`.
  std::string_view value() const { return value_; }
  bool is(int code, std::string_view value) const { return code_ == code && value_ == value; }
  // 1-based line number of the code line of the current pair.
  std::int64_t line() const { return line_; }

  // Ends the reading: every following `next()` returns false, so every loop over the pairs
  // ends as it would at the end of the file.
  void stop() { stopped_ = true; }
  bool stopped() const { return stopped_; }
  bool readError() const { return lines_.readError(); }
  std::uint64_t bytesRead() const { return lines_.bytesConsumed(); }

 private:
  platform::LineFile lines_;
  std::string upper_;  // the upper-cased value when it had small letters
  std::string_view value_;
  int code_ = kNoCode;
  std::int64_t line_ = 0;
  bool stopped_ = false;
};

// The group code of a code line without its leading blanks: a whole number with an optional
// minus sign and nothing after it, else TagReader::kNoCode.
int parseGroupCode(std::string_view text);

}  // namespace dxfio
