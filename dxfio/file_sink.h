#pragma once
// A DXF file as the CAD programs read it: each group as two lines, code and value, in
// CP932 with CR LF. Output is streamed; nothing of the drawing stays in memory. The one
// value not known while writing, the handle seed, is patched in place after closing.
// The bytes go to a partial file beside the real one, which commit() puts in its place:
// a file that failed or was abandoned never stands under the real name.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "dxfio/sink.h"

namespace dxfio {

class FileSink final : public Sink {
 public:
  FileSink() = default;
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  // Starts the file. False when it cannot be created (see error() and errorNumber()).
  bool open(const std::filesystem::path& file);
  bool isOpen() const { return file_ != nullptr; }

  void pair(int code, std::string_view value) override;
  void markHandleSeed() override { seedOffset_ = offset_ + codeLineLength(5); }
  // Formats the numbers straight into the output: every vertex of a sheet passes here.
  void vertices(std::span<const Vertex> list) override;

  // Byte offset of the next line.
  std::uint64_t offset() const { return offset_; }
  std::uint64_t handleSeedOffset() const { return seedOffset_; }

  // Flushes and closes. False when any write failed (disk full, removed folder).
  bool close();
  // After close() (and the patch): the file takes its real name. False when it cannot.
  bool commit();
  // A closed file whose commit is left to the caller: the partial file and the real name.
  struct Handover {
    std::filesystem::path partial, file;
    // The file takes its real name; false with the reason in `error`, worded as commit()
    // words it.
    bool commit(std::string& error) const;
    // The partial file is removed: the file is not to stand.
    void discard() const;
  };
  // After close(): the sink lets go of the partial file instead of committing it. False
  // (nothing handed over) when writing failed.
  bool handOver(Handover& to);
  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }
  int errorNumber() const { return errorNumber_; }

  // After close(): writes `seed` as 8 upper-case hexadecimal digits over the placeholder;
  // the file length does not change.
  bool patchHandleSeed(std::uint32_t seed);
  // The same for a file written earlier, with the placeholder value at `offset`.
  static bool patchHandleSeed(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t seed,
                              std::string* error = nullptr);

 private:
  static std::size_t codeLineLength(int code);
  void line(std::string_view bytes);
  void flushIfFull();
  void fail(const char* what);
  std::FILE* file_ = nullptr;
  std::filesystem::path path_, partial_;
  bool committed_ = false;
  int errorNumber_ = 0;
  std::uint64_t offset_ = 0;
  std::uint64_t seedOffset_ = 0;
  bool failed_ = false;
  std::string error_;
  std::string buffer_;
};

}  // namespace dxfio
