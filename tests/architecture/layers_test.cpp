// The folders are layers: a folder includes only the folders its row names (below it),
// siblings never include each other, and Qt stays in the window folders. The table is the
// architecture; a new folder gets a row here and a line in docs/architecture.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/common/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct Layer {
  std::string_view folder;
  std::vector<std::string_view> uses;  // folders this one may include, each listed above it
  bool qt = false;                     // may include Qt
  bool ownFilesOnly = false;           // the files directly in the folder, not its subfolders
};

// Lowest first. A folder's files may also include each other.
const std::vector<Layer>& layers() {
  static const std::vector<Layer> table = [] {
    const std::vector<std::string_view> producerBase = {"platform",           "dxfio",         "converter/geo",
                                                        "converter/settings", "converter/gml", "converter/sheet"};
    auto with = [](std::vector<std::string_view> base, std::initializer_list<std::string_view> more) {
      base.insert(base.end(), more);
      return base;
    };
    const auto runBase =
        with(producerBase, {"converter/elevation", "converter/fgd", "converter/mlit", "converter/decor"});
    return std::vector<Layer>{
        {"platform", {}},
        {"dxfio", {"platform"}},
        {"guikit", {"platform"}, true},
        {"converter/geo", {"platform"}},
        {"converter/settings", {"platform", "converter/geo"}},
        {"converter/gml", {"platform", "converter/geo"}},
        {"converter/sheet", {"platform", "dxfio", "converter/geo", "converter/settings"}},
        // The producers: siblings.
        {"converter/elevation", producerBase},
        {"converter/fgd", producerBase},
        {"converter/mlit", producerBase},
        {"converter/decor", producerBase},
        {"converter/run", runBase},
        {"converter/picker", {"platform", "converter/geo", "converter/settings", "converter/gml"}},
        {"converter/picker/gl",
         {"platform", "converter/geo", "converter/settings", "converter/gml", "converter/picker"}},
        {"converter/cli", with(runBase, {"converter/run"})},
        {"converter/ui", with(runBase, {"converter/run", "converter/picker", "converter/picker/gl", "guikit"}), true},
        // The program's entry: the window or a sub-command.
        {"converter",
         with(runBase, {"converter/run", "converter/picker", "converter/picker/gl", "converter/cli", "converter/ui"}),
         false, true},
        {"viewer/dxf", {"platform", "dxfio"}},
        {"viewer/draw", {"platform", "dxfio", "viewer/dxf"}},
        {"viewer/gl", {"platform", "dxfio", "viewer/dxf", "viewer/draw"}},
        {"viewer/ui", {"platform", "dxfio", "guikit", "viewer/dxf", "viewer/draw", "viewer/gl"}, true},
        {"viewer", {"platform", "dxfio", "viewer/dxf", "viewer/draw", "viewer/gl", "viewer/ui"}},
    };
  }();
  return table;
}

const std::vector<std::string_view> kSourceRoots = {"platform", "dxfio", "guikit", "converter", "viewer"};

// The layer a path lies in: the longest folder of the table that holds it.
const Layer* layerOf(std::string_view path) {
  const Layer* best = nullptr;
  for (const auto& l : layers()) {
    bool inside = path.starts_with(l.folder) && path.size() > l.folder.size() && path[l.folder.size()] == '/';
    if (inside && l.ownFilesOnly) inside = path.find('/', l.folder.size() + 1) == std::string_view::npos;
    if (inside && (!best || l.folder.size() > best->folder.size())) best = &l;
  }
  return best;
}

bool isQt(std::string_view header) {
  return header.starts_with("Q") || header.starts_with("qt") || header.starts_with("Qt");
}

// Every include of the source folders below `root` that breaks the table, as
// "file: include" lines.
std::vector<std::string> layerViolations(const fs::path& root) {
  std::vector<std::string> problems;
  for (auto top : kSourceRoots) {
    if (!fs::exists(root / top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      const auto ext = entry.path().extension();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      const std::string file = entry.path().lexically_relative(root).generic_string();
      const Layer* from = layerOf(file);
      if (!from) {
        problems.push_back(file + ": folder not in the layer table");
        continue;
      }
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        const auto at = line.find("#include");
        if (at == std::string::npos || line.find_first_not_of(" \t") != at) continue;
        const auto open = line.find_first_of("\"<", at);
        if (open == std::string::npos) continue;
        const auto close = line.find(line[open] == '"' ? '"' : '>', open + 1);
        const std::string target = line.substr(open + 1, close - open - 1);
        if (line[open] == '<') {
          if (isQt(target) && !from->qt) problems.push_back(file + ": Qt <" + target + "> outside a window folder");
          continue;
        }
        const Layer* to = layerOf(target);
        if (!to) {
          problems.push_back(file + ": \"" + target + "\" is in no source folder");
          continue;
        }
        if (to == from) continue;
        if (std::find(from->uses.begin(), from->uses.end(), to->folder) == from->uses.end())
          problems.push_back(file + ": \"" + target + "\" (" + std::string(from->folder) + " may not use " +
                             std::string(to->folder) + ")");
      }
    }
  }
  std::sort(problems.begin(), problems.end());
  return problems;
}

TEST(Layers, TheTableRunsOneWay) {
  // Each row uses only rows above it, so no two folders can include each other.
  std::set<std::string_view> seen;
  for (const auto& l : layers()) {
    for (auto used : l.uses) EXPECT_TRUE(seen.count(used)) << l.folder << " uses " << used << " from above it";
    seen.insert(l.folder);
  }
}

TEST(Layers, EveryIncludeOfTheTreeKeepsTheTable) {
  const auto problems = layerViolations(TERRALINEA_SOURCE_DIR);
  std::string text;
  for (const auto& p : problems) text += p + "\n";
  EXPECT_TRUE(problems.empty()) << text;
}

TEST(Layers, UpwardSidewaysAndUnknownIncludesAreFound) {
  TempFolder temp;
  auto write = [&](const std::string& file, const std::string& text) {
    fs::create_directories((temp.path() / file).parent_path());
    std::ofstream(temp.path() / file) << text;
  };
  write("converter/geo/a.h", "#pragma once\n#include \"converter/geo/b.h\"\n#include \"platform/numbers.h\"\n");
  write("converter/sheet/s.h", "#include \"converter/run/conversion_run.h\"\n");        // upward
  write("converter/fgd/f.cpp", "  #include \"converter/elevation/grid.h\"\n");          // sideways
  write("converter/elevation/e.cpp", "#include <QWidget>\n#include <vector>\n");        // Qt in the core
  write("converter/ui/w.cpp", "#include <QWidget>\n#include \"converter/run/x.h\"\n");  // fine
  write("converter/newfolder/n.cpp", "#include \"platform/numbers.h\"\n");              // no row
  write("dxfio/d.cpp", "#include \"tests/common/temp_folder.h\"\n");                    // not a source folder
  EXPECT_EQ(layerViolations(temp.path()),
            (std::vector<std::string>{
                "converter/elevation/e.cpp: Qt <QWidget> outside a window folder",
                "converter/fgd/f.cpp: \"converter/elevation/grid.h\" (converter/fgd may not use converter/elevation)",
                "converter/newfolder/n.cpp: folder not in the layer table",
                "converter/sheet/s.h: \"converter/run/conversion_run.h\" (converter/sheet may not use converter/run)",
                "dxfio/d.cpp: \"tests/common/temp_folder.h\" is in no source folder",
            }));
}

}  // namespace
