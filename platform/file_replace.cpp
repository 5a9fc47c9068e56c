#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace platform {

namespace {

// The file a name stands for: a link's target (relative to the link's folder).
std::filesystem::path named(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(file, ec)) return file;
  auto target = std::filesystem::read_symlink(file, ec);
  if (ec) return file;
  return target.is_absolute() ? target : file.parent_path() / target;
}

bool special(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

}  // namespace

std::filesystem::path partialName(const std::filesystem::path& file) {
  const auto target = named(file);
  if (special(target)) return target;
  return target.parent_path() / ("." + target.filename().string() + ".part");
}

bool commitFile(const std::filesystem::path& partial, const std::filesystem::path& file, std::string* error) {
  const auto target = named(file);
  if (partial == target) return true;
  std::error_code ec;
  std::filesystem::rename(partial, target, ec);
  if (!ec) return true;
  if (error) *error = ec.message();
  discardPartial(partial, file);
  return false;
}

void discardPartial(const std::filesystem::path& partial, const std::filesystem::path& file) {
  if (partial == named(file)) return;
  std::error_code ec;
  std::filesystem::remove(partial, ec);
}

bool replaceFile(const std::filesystem::path& file, std::string_view bytes, std::string* error) {
  const auto partial = partialName(file);
  std::FILE* f = std::fopen(partial.c_str(), "wb");
  auto fail = [&] {
    if (error) *error = systemReason(errno);
    if (f) std::fclose(f);
    discardPartial(partial, file);
    return false;
  };
  if (!f) return fail();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return fail();
  if (std::fflush(f) != 0) return fail();
  // Delayed write errors (a full disk, a network folder) surface only when closing.
  const int closed = std::fclose(f);
  f = nullptr;
  if (closed != 0) return fail();
  return commitFile(partial, file, error);
}

std::string systemReason(int errorNumber) { return std::strerror(errorNumber); }

bool isStorageReason(int errorNumber) {
  switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EROFS:
    case EACCES:
    case EPERM:
    case ENOENT:
    case ENOTDIR:
    case EFBIG: return true;
    default: return false;
  }
}

}  // namespace platform
