#include "platform/zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "platform/dir_list.h"
#include "platform/file_replace.h"
#include "platform/text.h"
#include "platform/text_codec.h"
#include "platform/zip_member_cache.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;
struct MemberCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};
using MemberFile = std::unique_ptr<zip_file_t, MemberCloser>;

std::string errorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// One open archive. A compressed nested archive cannot be read in place (libzip needs to
// seek in it), so its bytes are held here while it is open.
struct Level {
  Zip zip;
  std::vector<char> bytes;
};

Level openOnDisk(const fs::path& file, std::string& error) {
  int code = 0;
  Level level{Zip(zip_open(file.c_str(), ZIP_RDONLY, &code)), {}};
  if (!level.zip) error = errorText(code);
  return level;
}

Level openNested(zip_t* parent, zip_uint64_t index, std::string& error) {
  Level level;
  zip_error_t openError;
  zip_error_init(&openError);
  // A stored member is a window on the outer file and can be read in place.
  if (zip_source_t* window = zip_source_zip(parent, parent, index, 0, 0, -1)) {
    level.zip.reset(zip_open_from_source(window, ZIP_RDONLY, &openError));
    if (!level.zip) zip_source_free(window);
  }
  zip_stat_t st;
  if (!level.zip && zip_stat_index(parent, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
    level.bytes.resize(static_cast<std::size_t>(st.size));
    MemberFile in(zip_fopen_index(parent, index, 0));
    if (in && zip_fread(in.get(), level.bytes.data(), st.size) == static_cast<zip_int64_t>(st.size)) {
      zip_error_fini(&openError);
      zip_error_init(&openError);
      if (zip_source_t* buffer = zip_source_buffer_create(level.bytes.data(), st.size, 0, &openError)) {
        level.zip.reset(zip_open_from_source(buffer, ZIP_RDONLY, &openError));
        if (!level.zip) zip_source_free(buffer);
      }
    } else {
      zip_error_set(&openError, ZIP_ER_READ, 0);
      if (in) error = zip_file_strerror(in.get());
    }
  }
  if (!level.zip && error.empty()) error = zip_error_strerror(&openError);
  zip_error_fini(&openError);
  return level;
}

// Stored names are UTF-8 when flagged (bit 11) or when they read as UTF-8; otherwise they
// are the Windows code page of the published data.
std::string memberName(zip_t* zip, zip_uint64_t index) {
  const char* raw = zip_get_name(zip, index, ZIP_FL_ENC_RAW);
  if (!raw) return {};
  return isValidUtf8(raw) ? std::string(raw) : cp932ToUtf8(raw);
}

// Names that stay inside the archive's folder: relative, without "..".
bool safeName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  const fs::path p(name);
  return std::none_of(p.begin(), p.end(), [](const fs::path& part) { return part == ".."; });
}

bool isFolderEntry(const std::string& name) { return !name.empty() && name.back() == '/'; }

std::string fileNameOf(const std::string& name) {
  const auto slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// The index of the member whose decoded name is `name`; -1 when there is none.
zip_int64_t locate(zip_t* zip, const std::string& name) {
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  for (zip_int64_t i = 0; i < count; ++i)
    if (memberName(zip, static_cast<zip_uint64_t>(i)) == name) return i;
  return -1;
}

void listLevel(zip_t* zip, const fs::path& prefix, std::vector<fs::path>& out, std::vector<ArchiveProblem>& problems) {
  const zip_int64_t count = zip_get_num_entries(zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const std::string name = memberName(zip, static_cast<zip_uint64_t>(i));
    if (isFolderEntry(name)) continue;
    if (!safeName(name)) {
      problems.push_back({prefix / fileNameOf(name), "unsafe member name"});
      continue;
    }
    const std::string file = fileNameOf(name);
    if (isArchiveName(file)) {
      std::string error;
      Level nested = openNested(zip, static_cast<zip_uint64_t>(i), error);
      if (nested.zip)
        listLevel(nested.zip.get(), prefix / name, out, problems);
      else
        problems.push_back({prefix / name, error});
    } else {
      out.push_back(prefix / name);
    }
  }
}

// Splits a member path into the archive file on disk and the components after it.
bool splitOnDisk(const fs::path& path, fs::path& archive, std::vector<std::string>& inside) {
  fs::path prefix;
  auto it = path.begin();
  for (; it != path.end(); ++it) {
    prefix /= *it;
    std::error_code ec;
    if (std::next(it) != path.end() && isArchiveName(it->native()) && fs::is_regular_file(prefix, ec)) break;
  }
  if (it == path.end()) return false;
  archive = prefix;
  for (++it; it != path.end(); ++it) inside.push_back(it->native());
  return !inside.empty();
}

std::string joined(const std::vector<std::string>& parts, std::size_t from, std::size_t to) {
  std::string name;
  for (std::size_t k = from; k < to; ++k) name += (k > from ? "/" : "") + parts[k];
  return name;
}

}  // namespace

bool isArchiveName(std::string_view name) {
  return name.size() > 4 && equalsNoCase(name.substr(name.size() - 4), ".zip");
}

bool isArchiveMember(const fs::path& path) {
  bool candidate = false;
  for (auto it = path.begin(); it != path.end() && !candidate; ++it)
    candidate = std::next(it) != path.end() && isArchiveName(it->native());
  if (!candidate) return false;
  fs::path archive;
  std::vector<std::string> inside;
  return splitOnDisk(path, archive, inside);
}

std::vector<fs::path> listArchiveMembers(const fs::path& archive, std::string_view pattern,
                                         std::vector<ArchiveProblem>& problems) {
  const std::string key = zip_cache::keyOf(archive, archive);
  auto listing = key.empty() ? nullptr : zip_cache::findListing(key);
  if (!listing) {
    auto whole = std::make_shared<zip_cache::Listing>();
    std::string error;
    Level top = openOnDisk(archive, error);
    if (top.zip)
      listLevel(top.zip.get(), archive, whole->members, whole->problems);
    else
      whole->problems.push_back({archive, error});
    std::sort(whole->members.begin(), whole->members.end());
    zip_cache::keepListing(key, whole);
    listing = std::move(whole);
  }
  problems.insert(problems.end(), listing->problems.begin(), listing->problems.end());
  std::vector<fs::path> out;
  for (const auto& member : listing->members)
    if (wildcardMatch(pattern, member.filename().native())) out.push_back(member);
  return out;
}

struct ArchiveMemberReader::State {
  std::vector<Level> levels;  // outermost first
  zip_uint64_t index = 0;
  MemberFile file;
  std::string error;
  // A member whose inflated bytes are at hand, and where its reading is.
  zip_cache::Bytes cached;
  std::size_t offset = 0;

  ~State() { closeAll(); }
  void closeAll() {
    file.reset();
    while (!levels.empty()) levels.pop_back();  // inner archives before the ones they live in
    cached.reset();
  }
};

ArchiveMemberReader::ArchiveMemberReader() : state_(std::make_unique<State>()) {}
ArchiveMemberReader::~ArchiveMemberReader() = default;

const std::string& ArchiveMemberReader::error() const { return state_->error; }

void ArchiveMemberReader::close() { state_->closeAll(); }

bool ArchiveMemberReader::open(const fs::path& member) {
  State& s = *state_;
  s.closeAll();
  s.error.clear();
  fs::path archive;
  std::vector<std::string> inside;
  if (!splitOnDisk(member, archive, inside)) {
    s.error = "not an archive member";
    return false;
  }
  const std::string key = zip_cache::keyOf(member, archive);
  if ((s.cached = key.empty() ? nullptr : zip_cache::find(key))) return rewind();
  s.levels.push_back(openOnDisk(archive, s.error));
  if (!s.levels.back().zip) return false;
  // Walk down: the shortest run of components naming an archive member opens the next level.
  std::size_t from = 0;
  for (std::size_t to = from + 1; to <= inside.size(); ++to) {
    zip_t* zip = s.levels.back().zip.get();
    const std::string name = joined(inside, from, to);
    if (to == inside.size()) {
      const zip_int64_t at = locate(zip, name);
      if (at < 0) {
        s.error = "no such member";
        return false;
      }
      s.index = static_cast<zip_uint64_t>(at);
      // A small member is inflated whole once and then read from memory; a damaged one
      // is streamed, so that its reader meets the damage where it is.
      zip_stat_t st;
      if (!key.empty() && zip_stat_index(zip, s.index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
          st.size <= zip_cache::kMaxMember) {
        auto bytes = std::make_shared<std::string>(static_cast<std::size_t>(st.size), '\0');
        MemberFile in(zip_fopen_index(zip, s.index, 0));
        char end;
        if (in && zip_fread(in.get(), bytes->data(), st.size) == static_cast<zip_int64_t>(st.size) &&
            zip_fread(in.get(), &end, 1) == 0) {
          zip_cache::keep(key, bytes);
          s.cached = std::move(bytes);
        }
      }
      return rewind();
    }
    if (!isArchiveName(inside[to - 1])) continue;
    const zip_int64_t at = locate(zip, name);
    if (at < 0) continue;
    s.levels.push_back(openNested(zip, static_cast<zip_uint64_t>(at), s.error));
    if (!s.levels.back().zip) return false;
    from = to;
  }
  s.error = "no such member";
  return false;
}

bool ArchiveMemberReader::rewind() {
  State& s = *state_;
  s.offset = 0;
  if (s.cached) return true;
  s.file.reset();
  if (s.levels.empty() || !s.levels.back().zip) return false;
  zip_t* zip = s.levels.back().zip.get();
  s.file.reset(zip_fopen_index(zip, s.index, 0));
  if (!s.file) s.error = zip_strerror(zip);
  return static_cast<bool>(s.file);
}

const std::string* ArchiveMemberReader::inMemory() const { return state_->cached.get(); }

std::ptrdiff_t ArchiveMemberReader::read(char* buffer, std::size_t size) {
  State& s = *state_;
  if (s.cached) {
    const std::size_t n = std::min(size, s.cached->size() - s.offset);
    std::memcpy(buffer, s.cached->data() + s.offset, n);
    s.offset += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  if (!s.file) return -1;
  const zip_int64_t got = zip_fread(s.file.get(), buffer, size);
  if (got < 0) s.error = zip_file_strerror(s.file.get());
  return static_cast<std::ptrdiff_t>(got);
}

ExtractResult extractArchive(const fs::path& archive, const fs::path& folder, const ExtractProgress& progress) {
  ExtractResult result;
  std::string error;
  Level top = openOnDisk(archive, error);
  if (!top.zip) {
    result.damaged.push_back({archive, error});
    return result;
  }
  zip_t* zip = top.zip.get();
  const auto total = static_cast<std::size_t>(zip_get_num_entries(zip, 0));
  if (progress && !progress(0, total)) {
    result.stopped = true;
    return result;
  }
  std::vector<char> buffer(std::size_t(1) << 16);
  for (std::size_t i = 0; i < total; ++i) {
    const std::string name = memberName(zip, i);
    const fs::path shown = archive / name;
    std::error_code ec;
    if (!safeName(name)) {
      result.damaged.push_back({shown, "unsafe member name"});
    } else if (isFolderEntry(name)) {
      fs::create_directories(folder / name, ec);
    } else {
      const fs::path target = folder / name;
      fs::create_directories(target.parent_path(), ec);
      const fs::path partial = partialName(target);
      std::string what;
      MemberFile in(zip_fopen_index(zip, i, 0));
      std::FILE* out = in ? std::fopen(partial.c_str(), "wb") : nullptr;
      if (!in) {
        what = zip_strerror(zip);
      } else if (!out) {
        what = std::error_code(errno, std::generic_category()).message();
      } else {
        zip_int64_t got;
        while ((got = zip_fread(in.get(), buffer.data(), buffer.size())) > 0)
          if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), out) != static_cast<std::size_t>(got)) break;
        if (got < 0) what = zip_file_strerror(in.get());
        else if (got > 0 || std::ferror(out)) what = "write failed";
        if (std::fclose(out) != 0 && what.empty()) what = "write failed";
        if (what.empty() && !commitFile(partial, target, &what) && what.empty()) what = "cannot rename";
        if (!what.empty()) discardPartial(partial, target);
      }
      if (what.empty())
        result.extracted.push_back(target);
      else
        result.damaged.push_back({shown, what});
    }
    if (progress && !progress(i + 1, total)) {
      result.stopped = i + 1 < total;
      break;
    }
  }
  return result;
}

}  // namespace platform
