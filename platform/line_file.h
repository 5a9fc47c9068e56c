#pragma once
// Line-by-line reading of large text files through one buffer, without a copy per line:
// the readers of the data files all scan this way. A member of a zip archive (a path
// through the archive, zip_archive.h) is read straight from the archive, or scanned in
// place when the archive code holds it inflated.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/zip_archive.h"

namespace platform {

class LineFile {
 public:
  static constexpr std::size_t kBufferSize = std::size_t(1) << 20;

  // Lines longer than `maxLine` bytes are cut there (the rest is dropped and
  // `lastLineCut()` tells); the buffer grows up to that size as lines need it.
  explicit LineFile(std::size_t maxLine = kBufferSize) : maxLine_(maxLine) {}
  ~LineFile() { close(); }
  LineFile(const LineFile&) = delete;
  LineFile& operator=(const LineFile&) = delete;

  bool open(const std::filesystem::path& path);
  void close();
  // Back to the first line, as if the file had been opened anew.
  bool rewind();

  // The next line without its CR LF or LF; the view lives until the next call. False at
  // the end of the file or after a read error.
  bool next(std::string_view& line);
  std::int64_t lineNumber() const { return lineNumber_; }  // 1-based number of the last line returned
  bool readError() const { return error_; }
  bool lastLineCut() const { return cut_; }
  std::uint64_t bytesConsumed() const { return consumed_; }

 private:
  bool fill();
  bool nextInPlace(std::string_view& line);

  std::size_t maxLine_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<ArchiveMemberReader> member_;  // set while an archive member is open
  std::vector<char> buffer_;
  const std::string* inPlace_ = nullptr;  // the open member's bytes, when held in memory
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false, error_ = false, skipRest_ = false, cut_ = false;
  std::int64_t lineNumber_ = 0;
  std::uint64_t consumed_ = 0;
};

}  // namespace platform
