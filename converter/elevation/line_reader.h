#pragma once
// Line-by-line reading of large text files through one fixed buffer, and the
// locale-independent number parsing the elevation readers need.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace elevation {

class LineReader {
 public:
  static constexpr std::size_t kBufferSize = 1 << 20;

  LineReader() = default;
  ~LineReader() { close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool open(const std::filesystem::path& path);
  void close();
  // Back to the first line, as if the file had been opened anew.
  bool rewind();

  // The next line without its CR LF or LF. A line longer than the buffer is cut there and
  // its rest is dropped. False at the end of the file or after a read error.
  bool next(std::string_view& line);
  std::int64_t lineNumber() const { return lineNumber_; }  // 1-based number of the last line returned
  bool readError() const { return error_; }

 private:
  bool fill();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false, error_ = false, skipRest_ = false;
  std::int64_t lineNumber_ = 0;
};

// Whole-text numbers with optional surrounding blanks and tabs and an optional sign; the
// decimal point is always a full stop. Non-finite values fail.
bool parseDecimal(std::string_view text, double& value);
bool parseWhole(std::string_view text, std::int64_t& value);

inline bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace elevation
