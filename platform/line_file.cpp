#include "platform/line_file.h"

#include <algorithm>
#include <cstring>

namespace platform {

bool LineFile::open(const std::filesystem::path& path) {
  close();
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_ && isArchiveMember(path)) {
    if (!member_) member_ = std::make_unique<ArchiveMemberReader>();
    if (!member_->open(path)) {
      member_.reset();
      return false;
    }
    inPlace_ = member_->inMemory();
  } else if (!file_) {
    return false;
  }
  if (buffer_.empty() && !inPlace_) {
    // A small file gets a buffer of its size: the runs open hundreds of them, and zeroing
    // a full-size buffer for each cost more than reading them.
    const std::size_t most = std::min(kBufferSize, std::max<std::size_t>(maxLine_, 1));
    std::size_t size = most;
    std::error_code ec;
    if (const auto bytes = file_ ? std::filesystem::file_size(path, ec) : most; !ec && bytes < most)
      size = std::min(most, std::max<std::size_t>(static_cast<std::size_t>(bytes) + 1, 4096));
    buffer_.resize(size);
  }
  return rewind();
}

void LineFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  member_.reset();
  inPlace_ = nullptr;
}

bool LineFile::rewind() {
  begin_ = end_ = 0;
  eof_ = error_ = skipRest_ = cut_ = false;
  lineNumber_ = 0;
  consumed_ = 0;
  const bool back = member_ ? member_->rewind() : file_ && std::fseek(file_, 0, SEEK_SET) == 0;
  if (!back) {
    error_ = true;
    return false;
  }
  if (inPlace_) {
    end_ = inPlace_->size();
    eof_ = true;
  }
  return true;
}

bool LineFile::fill() {
  // Keep the unfinished line at the front and read behind it.
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (eof_) return false;
  if (end_ == buffer_.size()) {
    if (buffer_.size() >= maxLine_) return false;
    buffer_.resize(std::min(buffer_.size() * 2, maxLine_));
  }
  std::size_t got;
  if (member_) {
    const std::ptrdiff_t read = member_->read(buffer_.data() + end_, buffer_.size() - end_);
    error_ = read < 0;
    got = error_ ? 0 : static_cast<std::size_t>(read);
  } else {
    got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    error_ = got == 0 && std::ferror(file_);
  }
  end_ += got;
  if (got == 0) {
    eof_ = true;
    return false;
  }
  return true;
}

// The same lines as the buffered reading: a line of maxLine_ bytes or more is handed out
// cut to maxLine_ bytes as they are, and the rest of it is skipped (and counted as
// consumed) on the next call.
bool LineFile::nextInPlace(std::string_view& line) {
  cut_ = false;
  const char* data = inPlace_->data();
  while (begin_ < end_) {
    const char* start = data + begin_;
    const char* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    std::size_t length = nl ? static_cast<std::size_t>(nl - start) : end_ - begin_;
    const std::size_t taken = nl ? length + 1 : length;
    if (skipRest_) {  // the tail of a cut line
      skipRest_ = false;
      begin_ += taken;
      consumed_ += taken;
      continue;
    }
    ++lineNumber_;
    if (length >= maxLine_) {
      begin_ += maxLine_;
      consumed_ += maxLine_;
      skipRest_ = cut_ = true;
      line = std::string_view(start, maxLine_);
      return true;
    }
    begin_ += taken;
    consumed_ += taken;
    if (length > 0 && start[length - 1] == '\r') --length;
    line = std::string_view(start, length);
    return true;
  }
  return false;
}

bool LineFile::next(std::string_view& line) {
  if (inPlace_) return nextInPlace(line);
  if (!file_ && !member_) return false;
  cut_ = false;
  std::size_t searched = begin_;
  for (;;) {
    char* base = buffer_.data();
    const char* nl = static_cast<const char*>(std::memchr(base + searched, '\n', end_ - searched));
    if (nl) {
      std::size_t length = static_cast<std::size_t>(nl - (base + begin_));
      const char* start = base + begin_;
      begin_ += length + 1;
      consumed_ += length + 1;
      if (skipRest_) {  // the tail of a cut line
        skipRest_ = false;
        searched = begin_;
        continue;
      }
      if (length > 0 && start[length - 1] == '\r') --length;
      line = std::string_view(start, length);
      ++lineNumber_;
      return true;
    }
    const std::size_t pending = end_ - begin_;
    if (fill()) {
      searched = begin_ + pending;
      continue;
    }
    if (end_ - begin_ == buffer_.size()) {
      // A line longer than the longest allowed: hand out what fits, drop the rest.
      line = std::string_view(buffer_.data(), buffer_.size());
      consumed_ += buffer_.size();
      begin_ = end_ = 0;
      searched = 0;
      if (skipRest_) continue;
      skipRest_ = cut_ = true;
      ++lineNumber_;
      return true;
    }
    if (begin_ == end_ || error_) return false;
    // The last line has no line end.
    const char* start = buffer_.data() + begin_;
    std::size_t length = end_ - begin_;
    consumed_ += length;
    begin_ = end_;
    if (skipRest_) return false;
    if (start[length - 1] == '\r') --length;
    line = std::string_view(start, length);
    ++lineNumber_;
    return true;
  }
}

}  // namespace platform
