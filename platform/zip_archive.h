#pragma once
// Zip archives as they are downloaded: their members listed and read as if the archive
// were a folder, and whole archives extracted. A member is addressed by the archive's
// path followed by the member's name inside it, nested archives one after another:
//   data/FG-GML-503041-ALL-20181001.zip/FG-GML-503041-BldA-20181001-0001.xml
//   data/bulk.zip/PackDLMap/FG-GML-543745-DEM10B-20161001.zip/FG-GML-543745-00-DEM10B-20161001.xml
// so that file names, name slices and messages work on members as they do on files.
// Member names stored in CP932, or in UTF-8 (general purpose flag bit 11, or unflagged
// but valid UTF-8), come out in UTF-8.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// "*.zip", ASCII case ignored.
bool isArchiveName(std::string_view name);

// True when a folder of `path` is an archive file on disk, i.e. `path` names a member.
bool isArchiveMember(const std::filesystem::path& path);

// An archive that cannot be opened, or a member that cannot be read: its path (as above)
// and what went wrong, in the system's words.
struct ArchiveProblem {
  std::filesystem::path path;
  std::string what;
};

// The members of `archive` (a file on disk), nested archives expanded to any depth, whose
// file name (without the folders inside the archive) matches `pattern` (wildcardMatch),
// sorted by path. A damaged archive, top or nested, adds a problem and yields what could
// be listed. Never throws.
std::vector<std::filesystem::path> listArchiveMembers(const std::filesystem::path& archive, std::string_view pattern,
                                                      std::vector<ArchiveProblem>& problems);

// Reads the bytes of one member, and nothing is written to disk. Members up to 16 MB are
// inflated whole once and kept in a process-wide cache of 64 MB (a DEM file is read for
// every sheet it covers); larger ones are streamed, so memory does not grow with them. A
// nested archive that is compressed is held in memory while one of its members is open;
// a stored one is read in place.
class ArchiveMemberReader {
 public:
  ArchiveMemberReader();
  ~ArchiveMemberReader();
  ArchiveMemberReader(const ArchiveMemberReader&) = delete;
  ArchiveMemberReader& operator=(const ArchiveMemberReader&) = delete;

  // False when an archive on the way cannot be opened or the member is not there (error()).
  bool open(const std::filesystem::path& member);
  void close();
  // Back to the member's first byte.
  bool rewind();
  // Up to `size` bytes; 0 at the member's end, -1 when its data is damaged (error()).
  std::ptrdiff_t read(char* buffer, std::size_t size);
  // The whole member when it is held inflated in memory (then valid while the member is
  // open, and readers may scan it in place); nullptr when it is streamed.
  const std::string* inMemory() const;
  const std::string& error() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Extraction of one archive. `progress` is called before the first member and after each
// one with the members done and the total; returning false stops after that member.
using ExtractProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct ExtractResult {
  std::vector<std::filesystem::path> extracted;  // files written, in the archive's order
  std::vector<ArchiveProblem> damaged;           // the archive itself, or members not written
  bool stopped = false;                          // progress returned false
};

// Writes every member of `archive` under its decoded name below `folder` (folders are
// created, an existing file is replaced whole). Nested archives are written as the
// archive files they are (the readers read them directly). A member that cannot be read
// or written, or whose name would leave `folder` (an absolute name, ".."), is listed in
// `damaged` and the others are still extracted; a file is never left half written.
ExtractResult extractArchive(const std::filesystem::path& archive, const std::filesystem::path& folder,
                             const ExtractProgress& progress = {});

}  // namespace platform
