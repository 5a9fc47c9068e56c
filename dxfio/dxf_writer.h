#pragma once
// Streaming writer of one DXF file: group code and value lines in CP932, each ended by
// CR LF. Nothing of the drawing is kept in memory. Handles come from `nextHandle`.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace dxfio {

// Shortest general form with up to 15 significant digits and a full stop; exponent form
// ("1E-6", "1.5E16") below 0.00001 in magnitude or with more than 15 integer digits.
std::string formatReal(double value);
// Appends formatReal(value), without its allocations for the common fixed form (every
// coordinate of a sheet goes through here).
void appendReal(std::string& out, double value);
// Upper-case hexadecimal without leading zeros.
std::string hexHandle(std::uint32_t handle);

inline constexpr std::uint32_t kFirstProducerHandle = 0x1D3;
inline constexpr std::uint32_t kModelSpaceRecord = 0x13;
inline constexpr std::uint32_t kPaperSpaceRecord = 0x14;

class DxfWriter {
 public:
  DxfWriter() = default;
  ~DxfWriter();
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;

  // Creates or truncates the file. False when it cannot be created.
  bool open(const std::filesystem::path& file);
  bool isOpen() const { return file_ != nullptr; }

  // One pair: the group code line and the value line. Text values are UTF-8 and are
  // written in CP932.
  void text(int code, std::string_view value);
  void integer(int code, long long value);
  void real(int code, double value);
  void handleValue(int code, std::uint32_t handle) { text(code, hexHandle(handle)); }
  // Pairs in the notation "0=SECTION;2=HEADER": values are taken literally.
  void record(std::string_view pairs);
  // A value fragment that already holds further lines (a colour text such as
  // "7\r\n420\r\n660510"): written as it is after the code line.
  void fragment(int code, std::string_view valueLines) { text(code, valueLines); }

  // Takes the current `nextHandle` and advances it.
  std::uint32_t takeHandle() { return nextHandle++; }

  // Entity heads: 0=TYPE; 5=handle; 330=owner; [67=1;] 100=AcDbEntity; 8=layer.
  void modelEntity(std::string_view type, std::string_view layer);
  void paperEntity(std::string_view type, std::string_view layer);
  // An entity of a block definition with a given handle and owner record.
  void blockEntity(std::string_view type, std::uint32_t handle, std::uint32_t owner, std::string_view layer = "0");

  // Byte offset of the next line (used to find the handle seed placeholder).
  std::uint64_t offset() const { return offset_; }
  // 5=<8-character placeholder> of $HANDSEED; remembers where its value starts.
  void handleSeedPlaceholder();
  std::uint64_t handleSeedOffset() const { return seedOffset_; }

  // Flushes and closes. False when any write failed (disk full, removed folder).
  bool close();
  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }

  // Reopens a closed file and writes `seed` as 8 upper-case hexadecimal digits over the
  // placeholder at `offset`; the file length does not change.
  static bool patchHandleSeed(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t seed,
                              std::string* error = nullptr);

  std::uint32_t nextHandle = kFirstProducerHandle;

 private:
  void line(std::string_view bytes);
  void fail(const char* what);
  std::FILE* file_ = nullptr;
  std::uint64_t offset_ = 0;
  std::uint64_t seedOffset_ = 0;
  bool failed_ = false;
  std::string error_;
  std::string buffer_;
};

}  // namespace dxfio
