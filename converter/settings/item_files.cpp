#include "converter/settings/item_files.h"

#include <fstream>
#include <sstream>
#include <string_view>

#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "platform/text.h"
#include "platform/text_codec.h"

namespace settings {

namespace {

constexpr const char* kElevationCaptionMarker = "標高Mesh   5m";

struct TextFile {
  bool found = false;
  std::vector<std::string> lines;
};

TextFile readLines(const std::filesystem::path& path) {
  TextFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) return file;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  file.found = true;
  std::string text = platform::decodeText(bytes.str());
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  while (!file.lines.empty() && file.lines.back().empty()) file.lines.pop_back();
  return file;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> cols;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    cols.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return cols;
}

// Reads the numeric columns of one line; the first failure names the column.
class LineReader {
 public:
  LineReader(const std::vector<std::string>& cols, const char* file, std::size_t lineNumber)
      : cols_(cols), file_(file), line_(lineNumber) {}

  std::string text(std::size_t column, std::size_t maxBytes = std::string::npos) const {
    if (column >= cols_.size()) return {};
    return maxBytes == std::string::npos ? cols_[column] : platform::truncateCp932(cols_[column], maxBytes);
  }

  long long number(std::size_t column) {
    long long v = 0;
    if (!parseInteger(text(column), v) && error_.empty()) {
      error_ = std::string(file_) + " " + std::to_string(line_) + "行目 " + std::to_string(column + 1) +
               "列目の数値が読めません: \"" + text(column) + "\"";
    }
    return v;
  }

  const std::string& error() const { return error_; }

 private:
  const std::vector<std::string>& cols_;
  const char* file_;
  std::size_t line_;
  std::string error_;
};

std::string missingText(const char* name) { return std::string(name) + "が見つかりません"; }

// Where a name first had a character that layer names cannot hold ("kibanchizu-tree.txt
// 5行目"); empty while every name was fine.
struct NameFixes {
  std::string first;
};

// A caption made fit to be a DXF layer name: the characters CAD programs refuse in layer
// names and those CP932 cannot hold become "_".
std::string layerName(const std::string& text, const char* file, std::size_t lineNumber, NameFixes& fixes) {
  static constexpr std::string_view kForbidden = "<>/\\\":;?*|=`";
  std::string out;
  bool changed = false;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t n = platform::characterLength(text, at);
    const std::string_view ch = std::string_view(text).substr(at, n);
    at += n;
    const bool bad = n == 1 ? kForbidden.find(ch[0]) != std::string_view::npos || static_cast<unsigned char>(ch[0]) < 0x20
                            : !platform::representableInCp932(ch);
    changed = changed || bad;
    out += bad ? std::string_view("_") : ch;
  }
  if (changed && fixes.first.empty()) fixes.first = std::string(file) + " " + std::to_string(lineNumber) + "行目";
  return out;
}

// Item lines of a tree file, from the line after the header up to (not including) the
// first line for which `isEnd` holds. Returns the index of that line, or 0 on error.
template <typename IsEnd>
bool readTree(const TextFile& file, const char* name, bool readFlag, IsEnd isEnd, LayerTree& tree, int& runningNumber,
              std::size_t& endLine, std::string& error, NameFixes& fixes) {
  tree.groups.clear();
  std::string groupName;
  bool first = true;
  std::size_t i = 1;
  for (; i < file.lines.size(); ++i) {
    const std::string& line = file.lines[i];
    auto cols = splitTabs(line);
    if (isEnd(line, cols)) break;
    if (line.empty()) continue;
    LineReader r(cols, name, i + 1);
    LayerEntry entry;
    entry.key = r.text(0, 12);
    entry.colour = static_cast<std::uint32_t>(r.number(3));
    entry.sizeIndex = static_cast<int>(r.number(4));
    entry.weightIndex = static_cast<int>(r.number(5));
    entry.code = static_cast<std::int32_t>(r.number(6));
    entry.attributeValue = r.text(7, 30);
    entry.option = r.text(8, 16);
    std::string offColumn = r.text(9);
    if (readFlag && cols.size() > 10) entry.flag = static_cast<std::uint8_t>(r.number(10));
    if (!r.error().empty()) {
      error = r.error();
      endLine = i;
      return false;
    }
    std::string group = layerName(r.text(1), name, i + 1, fixes);
    if (first || group != groupName) {
      LayerGroup g;
      g.entry = entry;
      g.entry.attributeValue.clear();
      g.entry.option.clear();
      long long flag = 0;
      if (readFlag && !offColumn.empty()) {
        LineReader fr(cols, name, i + 1);
        flag = fr.number(9);
        if (!fr.error().empty()) {
          error = fr.error();
          endLine = i;
          return false;
        }
      }
      g.entry.flag = readFlag ? static_cast<std::uint8_t>(flag) : 0;
      g.caption = group;
      g.on = true;
      tree.groups.push_back(std::move(g));
      groupName = group;
      first = false;
    }
    LayerItem item;
    item.entry = std::move(entry);
    if (!readFlag) item.entry.flag = 0;
    item.on = offColumn != "1";
    item.runningNumber = runningNumber++;
    item.caption = runningNumberText(item.runningNumber) + group + layerName(r.text(2), name, i + 1, fixes);
    tree.groups.back().items.push_back(std::move(item));
  }
  endLine = i;
  // A tree without items would let every layer vanish while the run reports success.
  if (tree.groups.empty()) {
    error = std::string(name) + " に項目がありません";
    return false;
  }
  return true;
}

}  // namespace

namespace {

constexpr const char* kWarning = "警告";

// The vector tree and, after it, the captions of the elevation sources.
bool loadFgdTree(const std::filesystem::path& folder, DrawingSettings& s, int& runningNumber, ItemFileResult& result,
                 NameFixes& fixes) {
  TextFile fgd = readLines(folder / kFgdTreeFile);
  if (!fgd.found) {
    result.messages.push_back({kWarning, missingText(kFgdTreeFile)});
    return false;
  }
  std::size_t end = 0;
  std::string error;
  auto fgdEnd = [](const std::string&, const std::vector<std::string>& cols) {
    return cols.size() > 1 && cols[1] == kElevationCaptionMarker;
  };
  if (!readTree(fgd, kFgdTreeFile, true, fgdEnd, s.fgdLayers, runningNumber, end, error, fixes)) {
    result.messages.push_back({"起動時に障害発生", error});
    return false;
  }
  deriveGroups(s.fgdLayers);
  expandActiveGroups(s.fgdLayers);
  for (int k = 0; k < 2 * kElevationSourceCount; ++k) {
    std::size_t line = end + k;
    std::string caption;
    if (line < fgd.lines.size()) {
      auto cols = splitTabs(fgd.lines[line]);
      if (cols.size() > 1) caption = cols[1];
    }
    (k < kElevationSourceCount ? s.meshSourceCaptions[k] : s.contourSourceCaptions[k - kElevationSourceCount]) =
        caption;
  }
  return true;
}

// The National Land Numerical Information data sets, one a line.
bool loadMlitItems(const std::filesystem::path& folder, DrawingSettings& s, int& runningNumber, ItemFileResult& result,
                   NameFixes& fixes) {
  TextFile mlit = readLines(folder / kMlitItemFile);
  if (!mlit.found) {
    result.messages.push_back({kWarning, missingText(kMlitItemFile)});
    return false;
  }
  s.mlitLayers.clear();
  for (std::size_t i = 0; i < mlit.lines.size(); ++i) {
    if (mlit.lines[i].empty()) continue;
    if (s.mlitLayers.size() == kMaxMlitItems) {
      result.messages.push_back({"起動時に障害発生", "mlit-GML.txt の項目が多すぎます。"});
      result.programEnds = true;
      return false;
    }
    auto cols = splitTabs(mlit.lines[i]);
    LineReader r(cols, kMlitItemFile, i + 1);
    MlitLayerEntry e;
    e.key = r.text(0);
    e.name = layerName(r.text(1), kMlitItemFile, i + 1, fixes);
    e.colour = static_cast<std::uint32_t>(r.number(2));
    e.readerMask = static_cast<int>(r.number(3));
    e.geometryMarker = r.text(4);
    e.geometryEndMarker = r.text(5);
    e.linkMarker = r.text(6);
    e.valueMarker = r.text(7);
    if (!r.error().empty()) {
      result.messages.push_back({"起動時に障害発生", r.error()});
      return false;
    }
    e.styleCode = kDefaultStyleCode;
    e.runningNumber = runningNumber++;
    e.caption = runningNumberText(e.runningNumber) + e.name;
    s.mlitLayers.push_back(std::move(e));
  }
  return true;
}

// The Basic National Geographic Information tree.
bool loadBasicInfoTree(const std::filesystem::path& folder, DrawingSettings& s, int& runningNumber,
                       ItemFileResult& result, NameFixes& fixes) {
  std::size_t end = 0;
  std::string error;
  TextFile kkj = readLines(folder / kBasicInfoTreeFile);
  if (!kkj.found) {
    result.messages.push_back({kWarning, missingText(kBasicInfoTreeFile)});
    return false;
  }
  auto kkjEnd = [](const std::string& line, const std::vector<std::string>&) {
    return line.find("eod") != std::string::npos;
  };
  if (!readTree(kkj, kBasicInfoTreeFile, false, kkjEnd, s.basicInfoLayers, runningNumber, end, error, fixes)) {
    result.messages.push_back({"起動時に障害発生", error});
    return false;
  }
  deriveGroups(s.basicInfoLayers);
  expandActiveGroups(s.basicInfoLayers);
  return true;
}

}  // namespace

ItemFileResult loadItemFiles(const std::filesystem::path& folder, DrawingSettings& s) {
  ItemFileResult result;
  int runningNumber = 2;  // 1 is the mesh grid
  s.meshGridCaption = runningNumberText(1) + "標準地域メッシュ";
  s.meshGridStyle = 3073;
  NameFixes fixes;
  result.complete = loadFgdTree(folder, s, runningNumber, result, fixes) &&
                    loadMlitItems(folder, s, runningNumber, result, fixes) &&
                    loadBasicInfoTree(folder, s, runningNumber, result, fixes);
  if (result.complete && !fixes.first.empty())
    result.messages.push_back({kWarning, "画層名に使えない文字を _ に置き換えました (" + fixes.first + " ほか)"});
  return result;
}

}  // namespace settings
