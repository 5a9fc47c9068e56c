#include "converter/settings/outside_links.h"

#include <fstream>
#include <iterator>

#include "converter/settings/sheet_labels.h"
#include "platform/dir_list.h"
#include "platform/text_codec.h"

namespace settings {

const std::array<std::string_view, kPageCount> kPageCaptions = {
    "座標系適用範囲",       "基盤地図情報ダウンロード", "国土数値情報ダウンロード", "測量成果の使用承認申請",
    "国土数値情報利用約款", "掲示板",                   "ETOPO Download",           "国土基本情報 販売ページ",
};

PageLinks builtInPageLinks() {
  return {
      "https://www.gsi.go.jp/sokuchikijun/jpc.html",
      "https://service.gsi.go.jp/kiban/",
      "https://nlftp.mlit.go.jp/ksj/",
      "https://www.gsi.go.jp/LAW/2930-index.html",
      "https://nlftp.mlit.go.jp/ksj/other/agreement.html",
      "about:blank",
      "https://www.ngdc.noaa.gov/mgg/global/relief/ETOPO1/data/ice_surface/cell_registered/binary/",
      "https://www.jmc.or.jp/",
  };
}

bool readMapLinks(const std::filesystem::path& file, PageLinks& links) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  const std::string text = platform::decodeText(std::string(std::istreambuf_iterator<char>(in), {}));
  std::size_t lineIndex = 0, begin = 0;
  while (begin < text.size() && lineIndex < 2 * kPageCount) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineIndex % 2 == 1) links[lineIndex / 2] = line;
    ++lineIndex;
    begin = end + 1;
  }
  return true;
}

std::string archiveFolderFor(std::string_view folder) {
  for (std::string_view name : {"基盤地図情報", "国土数値情報", "国土基本情報"}) {
    const std::string marker = std::string(1, '/') + std::string(name);
    for (std::size_t at = folder.find(marker); at != std::string_view::npos; at = folder.find(marker, at + 1)) {
      const std::size_t end = at + marker.size();
      // A whole folder name, not the start of a longer one.
      if (end == folder.size() || folder[end] == '/') return std::string(folder.substr(0, end));
    }
  }
  const std::size_t slash = folder.rfind('/');
  if (slash == std::string_view::npos) return std::string(folder);
  return std::string(folder.substr(0, slash));
}

std::string folderListing(std::string_view versionText, std::string_view label, const std::filesystem::path& folder,
                          const std::vector<std::string_view>& patterns, bool recursive) {
  std::string text(versionText);
  text += "\r\n";
  text += label;
  text += ":";
  text += pathText(folder);
  text += "\r\n";
  for (const std::string_view pattern : patterns) {
    for (const auto& file : platform::listFiles(folder, pattern, recursive)) {
      text += pathText(file.filename());
      text += "\r\n";
    }
  }
  return text;
}

}  // namespace settings
