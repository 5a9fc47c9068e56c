#pragma once
// Zip archives written by the tests: names stored in CP932 without the UTF-8 flag or in
// UTF-8 with it, members deflated or stored, archives inside archives.
#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

struct ZipEntry {
  std::string name;  // UTF-8 in the test
  std::string bytes;
  enum class Name { utf8, cp932 } encoding = Name::utf8;
  bool stored = false;
};

inline bool writeZip(const std::filesystem::path& file, const std::vector<ZipEntry>& entries) {
  std::filesystem::create_directories(file.parent_path());
  int error = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) return false;
  bool ok = true;
  for (const auto& e : entries) {
    // libzip keeps the buffer until the archive is closed.
    zip_source_t* source = zip_source_buffer(zip, e.bytes.data(), e.bytes.size(), 0);
    const bool cp932 = e.encoding == ZipEntry::Name::cp932;
    const std::string name = cp932 ? platform::utf8ToCp932(e.name) : e.name;
    const zip_int64_t at =
        zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE | (cp932 ? ZIP_FL_ENC_CP437 : ZIP_FL_ENC_UTF_8));
    if (at < 0) {
      zip_source_free(source);
      ok = false;
      continue;
    }
    if (e.stored) zip_set_file_compression(zip, static_cast<zip_uint64_t>(at), ZIP_CM_STORE, 0);
  }
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    return false;
  }
  return ok;
}

// The bytes of an archive, to be a member of another one.
inline std::string zipBytes(const std::filesystem::path& scratch, const std::vector<ZipEntry>& entries) {
  writeZip(scratch, entries);
  std::string bytes = readBytes(scratch);
  std::filesystem::remove(scratch);
  return bytes;
}
