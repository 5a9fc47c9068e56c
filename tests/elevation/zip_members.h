#pragma once
// Unpacks members of a published zip into a test's temporary folder (the run reads
// unpacked files only).
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Writes the member under its own name into `folder`; false when it cannot.
inline bool extractZipMember(const std::filesystem::path& zipFile, const std::string& member,
                             const std::filesystem::path& folder) {
  int error = 0;
  zip_t* archive = zip_open(zipFile.c_str(), ZIP_RDONLY, &error);
  if (!archive) return false;
  bool ok = false;
  if (zip_file_t* in = zip_fopen(archive, member.c_str(), 0)) {
    std::ofstream out(folder / std::filesystem::path(member).filename(), std::ios::binary);
    std::vector<char> buffer(1 << 16);
    zip_int64_t got;
    while ((got = zip_fread(in, buffer.data(), buffer.size())) > 0) out.write(buffer.data(), got);
    ok = got == 0 && static_cast<bool>(out);
    zip_fclose(in);
  }
  zip_discard(archive);
  return ok;
}
