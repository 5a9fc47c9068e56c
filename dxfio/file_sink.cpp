#include "dxfio/file_sink.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "dxfio/real_format.h"
#include "platform/file_replace.h"
#include "platform/text_codec.h"

namespace dxfio {

namespace {

// Written in steps of 1 MB: fewer calls into the system for the tens of MB of a dense sheet.
constexpr std::size_t kBufferLimit = 1 << 20;

bool isAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

FileSink::~FileSink() {
  if (file_) std::fclose(file_);
  if (!committed_ && !partial_.empty()) platform::discardPartial(partial_, path_);
}

bool FileSink::open(const std::filesystem::path& file) {
  if (file_) std::fclose(file_);
  if (!committed_ && !partial_.empty()) platform::discardPartial(partial_, path_);
  path_ = file;
  partial_ = platform::partialName(file);
  committed_ = false;
  file_ = std::fopen(partial_.c_str(), "wb");
  offset_ = seedOffset_ = 0;
  failed_ = false;
  errorNumber_ = 0;
  error_.clear();
  buffer_.clear();
  if (!file_) {
    fail("cannot create the file");
    return false;
  }
  return true;
}

void FileSink::fail(const char* what) {
  if (!failed_) {
    failed_ = true;
    errorNumber_ = errno;
    error_ = std::string(what) + (errno ? std::string(": ") + std::strerror(errno) : std::string());
  }
}

bool FileSink::handOver(Handover& to) {
  if (failed_ || file_ || partial_.empty()) return false;
  to = {partial_, path_};
  committed_ = true;  // the destructor leaves the partial file to its new owner
  return true;
}

bool FileSink::Handover::commit(std::string& error) const {
  std::string reason;
  if (platform::commitFile(partial, file, &reason)) return true;
  error = "cannot put the file in place: " + reason;
  return false;
}

void FileSink::Handover::discard() const { platform::discardPartial(partial, file); }

bool FileSink::commit() {
  if (failed_ || file_ || partial_.empty()) return false;
  if (!Handover{partial_, path_}.commit(error_)) {
    failed_ = true;
    return false;
  }
  committed_ = true;
  return true;
}

std::size_t FileSink::codeLineLength(int code) {
  char buf[16];
  return static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, code).ptr - buf) + 2;
}

void FileSink::flushIfFull() {
  if (buffer_.size() >= kBufferLimit && file_) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail("write failed");
    buffer_.clear();
  }
}

void FileSink::line(std::string_view bytes) {
  buffer_.append(bytes);
  buffer_.append("\r\n");
  offset_ += bytes.size() + 2;
  flushIfFull();
}

void FileSink::vertices(std::span<const Vertex> list) {
  // Vertices are spelled into a local block that is appended when it is nearly full, not
  // each on its own: a coordinate-dense sheet writes millions of them.
  constexpr std::size_t kVertexRoom = 2 * kRealChars + 16;
  char block[4096];
  char* p = block;
  auto append = [&] {
    buffer_.append(block, p);
    offset_ += static_cast<std::size_t>(p - block);
    p = block;
    flushIfFull();
  };
  for (const auto& v : list) {
    if (p > block + sizeof block - kVertexRoom) append();
    p = std::copy_n("10\r\n", 4, p);
    p = writeReal(p, v.x);
    p = std::copy_n("\r\n20\r\n", 6, p);
    p = writeReal(p, v.y);
    p = std::copy_n("\r\n", 2, p);
  }
  append();
}

void FileSink::pair(int code, std::string_view value) {
  char buf[16];
  const auto end = std::to_chars(buf, buf + sizeof buf, code).ptr;
  line(std::string_view(buf, static_cast<std::size_t>(end - buf)));
  if (isAscii(value))
    line(value);
  else
    line(platform::utf8ToCp932(value));
}

bool FileSink::close() {
  if (!file_) return !failed_;
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail("write failed");
  buffer_.clear();
  if (std::fflush(file_) != 0) fail("write failed");
  if (std::fclose(file_) != 0) fail("close failed");
  file_ = nullptr;
  return !failed_;
}

bool FileSink::patchHandleSeed(std::uint32_t seed) { return patchHandleSeed(partial_, seedOffset_, seed, &error_); }

bool FileSink::patchHandleSeed(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t seed,
                               std::string* error) {
  std::FILE* f = std::fopen(file.c_str(), "r+b");
  auto failWith = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    if (f) std::fclose(f);
    return false;
  };
  if (!f) return failWith("cannot reopen the file");
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08X", seed);
  if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return failWith("seek failed");
  if (std::fwrite(digits, 1, 8, f) != 8) return failWith("write failed");
  if (std::fclose(f) != 0) {
    f = nullptr;
    return failWith("close failed");
  }
  return true;
}

}  // namespace dxfio
