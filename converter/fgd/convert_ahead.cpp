// The helper side of the shared conversions: the sheet's line and area files in reading
// order, each from its end backwards in blocks, their coordinate lines converted into
// the table.
#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/gml/line_scanner.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/data_files.h"

namespace fgd {

namespace {

// Readers that convert coordinate lists; the point readers convert one position a feature.
constexpr int kListReaders = kMeshLine | kRoad | kRail | kVisibleLine | kAreaEdge | kAreaFill;

}  // namespace

std::shared_ptr<sheet::SharedConversions> offerConversions(sheet::RunContext& ctx) {
  const auto& s = ctx.settings;
  std::vector<std::filesystem::path> files;
  // The sheet's files as its drawing passes will take them (the run's listings).
  auto add = [&](const settings::LayerTree& tree, const std::string& folder, bool admBdryEverywhere) {
    if (folder.empty()) return;
    const auto root = settings::utf8Path(folder);
    for (auto g = tree.groups.rbegin(); g != tree.groups.rend(); ++g)
      if (g->on && (g->entry.code & kListReaders))
        for (auto& f : sheet::listDataFiles(ctx, root, "*" + elementOfKey(g->entry.key) + "*.xml"))
          if (sheetReads(ctx.meshCodeList, f, g->entry.key, admBdryEverywhere)) files.push_back(std::move(f));
  };
  add(s.basicInfoLayers, s.basicInfoFolder, false);
  add(s.fgdLayers, s.fgdFolder, true);
  if (files.empty()) return nullptr;
  return std::make_shared<sheet::SharedConversions>(std::move(files), ctx.coordinates);
}

namespace {

// Blocks the helper converts from a file's end backwards; it leaves the last ones before
// the sheet's thread to that thread.
constexpr std::uint64_t kBlock = 256 * 1024;
// A coordinate line longer than this is left to the sheet's thread.
constexpr std::uint64_t kLongestPair = 512;

// Converts the coordinate lines that start in [start, end) of an open file; false when the
// run's helper is to stop (told to, or the table is full).
bool convertBlock(std::FILE* f, std::uint64_t start, std::uint64_t end, std::uint64_t size, std::vector<char>& bytes,
                  geo::PlaneCoordinates& c, sheet::SharedConversions& shared) {
  // One byte before the block tells whether its first line starts there.
  const std::uint64_t from = start > 0 ? start - 1 : 0, to = std::min(size, end + kLongestPair);
  bytes.resize(to - from);
  if (std::fseek(f, static_cast<long>(from), SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
    return true;  // unreadable here: the sheet's thread reads it anyway
  const char* p = bytes.data();
  const char* const blockEnd = bytes.data() + (end - from);
  const char* const last = bytes.data() + bytes.size();
  if (start > 0) {
    p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(last - p)));
    if (!p) return true;
    ++p;
  }
  while (p < blockEnd) {
    if (shared.stop.load(std::memory_order_relaxed)) return false;
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(last - p)));
    if (!eol) break;  // the file's last line, or too long: the sheet's thread converts it
    const std::string_view line(p, static_cast<std::size_t>(eol - p));
    p = eol + 1;
    double latitude, longitude;
    // Lines with a tag are no plain pairs: readPlainPair turns them down.
    if (!gml::readPlainPair(line, latitude, longitude)) continue;
    c.bltoxy(longitude, latitude);
    if (!shared.insert(longitude, latitude, c.planeX, c.planeY)) return false;
  }
  return true;
}

void convertFiles(sheet::SharedConversions& shared) {
  std::fesetenv(&shared.environment);
  geo::PlaneCoordinates c = shared.coordinates;
  // Plain files only: archive members are read as a stream, from their start, so they are
  // the sheet thread's.
  std::vector<std::pair<std::filesystem::path, std::uint64_t>> files;
  std::uint64_t total = 0;
  for (const auto& path : shared.files) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) continue;
    files.emplace_back(path, size);
    total += size;
  }
  // A coordinate line has some 28 bytes; the helper converts about half of each file.
  if (total < kBlock * 2 || !shared.prepare(static_cast<std::size_t>(total / 28 / 2))) return;
  std::vector<char> bytes;
  for (const auto& [path, size] : files) {
    if (shared.stop.load(std::memory_order_relaxed)) return;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) continue;
    auto& share = shared.file(path);
    for (std::uint64_t end = size; end > 0;) {
      const std::uint64_t start = end > kBlock ? end - kBlock : 0;
      // Where the sheet's thread reads already, the block just ahead of it is left to it.
      const std::uint64_t drawer = share.drawerAt.load(std::memory_order_relaxed);
      if (drawer > 0 && start < drawer + kBlock) break;
      if (!convertBlock(f.get(), start, end, size, bytes, c, shared)) return;
      share.helperFrom.store(start, std::memory_order_release);
      end = start;
    }
  }
}

}  // namespace

void convertAhead(sheet::SharedConversions& shared) {
  // Whatever stops the helper leaves the rest to the sheet's thread.
  try {
    convertFiles(shared);
  } catch (...) {
  }
}

}  // namespace fgd
