#include "converter/settings/start_checks.h"

#include <cmath>
#include <system_error>

#include "converter/geo/geo_box.h"
#include "converter/geo/palette.h"
#include "converter/geo/plane_coordinates.h"
#include "converter/settings/check_settings.h"
#include "converter/settings/sheet_labels.h"
#include "platform/host.h"
#include "platform/text.h"

namespace settings {

namespace {

void collectTree(const LayerTree& tree, int maxIndex, std::vector<std::string>& out) {
  for (const auto& g : tree.groups)
    for (const auto& item : g.items)
      if (item.on && geo::paletteIndexOf(item.entry.colour, maxIndex) == 0) out.push_back(item.caption);
}

bool removeFile(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return !ec && !std::filesystem::exists(file, ec);
}

}  // namespace

std::vector<std::string> layersWithoutPaletteColour(const DrawingSettings& s) {
  std::vector<std::string> list;
  if (s.fileFormat != 1 && s.fileFormat != 2) return list;
  const int maxIndex = s.fileFormat == 1 ? 255 : 9;
  collectTree(s.fgdLayers, maxIndex, list);
  for (const auto& m : s.mlitLayers)
    if (m.on && geo::paletteIndexOf(m.colour, maxIndex) == 0) list.push_back(m.caption);
  collectTree(s.basicInfoLayers, maxIndex, list);
  return list;
}

StartProblem memoryProblem(const DrawingSettings& s, const RunValues& v) {
  const double cells = static_cast<double>(v.columnCount) * static_cast<double>(v.rowCount);
  const char* text = "占有メモリーの拡大や描画範囲の分割が必要です";
  if (s.meshSource >= 0 && meshCellLimit(s) < cells) return {"標高メッシュ限度", text};
  if (s.contourSource >= 0 && cells > contourCellLimit(s)) return {"等高線限度", text};
  return {};
}

StartProblem rangeProblem(const RunValues& v) {
  std::string text;
  const double u = v.unitsPerMetre;
  if (!(v.sheetWidth > 0)) text += "西端は東端より小さい値に\r\n";
  if (!(v.sheetHeight > 0)) text += "南端は北端より小さい値に\r\n";
  if (v.sheetWidth > 5e6 / 9 * u) text += "描画範囲横幅が広すぎます\r\n";
  if (v.sheetHeight > 1e6 * u) text += "描画範囲上下が広すぎます\r\n";
  if (text.empty()) return {};
  return {"描画範囲エラー", text};
}

bool buildingWarningNeeded(const DrawingSettings& s, const RunValues& v, geo::PlaneCoordinates& coords) {
  if (s.minBuildingPerimeter <= 0) return false;
  bool buildingsOn = false;
  for (const auto& g : s.fgdLayers.groups)
    if (g.on && (g.caption == "建物外周" || g.caption == "建物")) buildingsOn = true;
  if (!buildingsOn) return false;
  // A corner outside the system still counts with its last estimate: a question, not a check.
  constexpr geo::BoxSampling corners{.corners = geo::BoxSampling::Corners::around,
                                     .northernEdge = geo::BoxSampling::NorthernEdge::cornersOnly,
                                     .stopAtFailure = false};
  geo::GeoBox area;
  geo::sheetGeoBox(coords, v.westEdge, v.eastEdge, v.southEdge, v.northEdge, area, corners);
  const double e = std::trunc(area.east * 80), f = std::trunc(area.west * 80);
  const double g = std::trunc(area.north * 120), h = std::trunc(area.south * 120);
  return (e - f + 1) * (g - h + 1) > 1;
}

std::vector<std::filesystem::path> sheetFiles(const DrawingSettings& s, const RunValues& v) {
  std::vector<std::filesystem::path> files;
  const auto folder = utf8Path(s.writeFolder);
  for (int r = 0; r < v.sheetRows; ++r)
    for (int c = 0; c < v.sheetColumns; ++c)
      files.push_back(sheetFileName(folder, s.mapName, r, c, v.sheetRows, v.sheetColumns));
  return files;
}

std::filesystem::path resultFile(const DrawingSettings& s, const RunValues& v) {
  const auto folder = utf8Path(s.writeFolder);
  if (v.singleSheet()) return sheetFileName(folder, s.mapName, 0, 0, 1, 1);
  return indexFileName(folder, s.mapName);
}

namespace {

// Layer colours the flavour cannot hold: listed on the clipboard and in the message.
bool refuseUnheldColours(const DrawingSettings& s, platform::Host& host) {
  const auto wrong = layersWithoutPaletteColour(s);
  if (wrong.empty()) return false;
  std::string list;
  for (const auto& caption : wrong) list += caption + "\r\n";
  host.setClipboard(list);
  std::string text = "レイヤーの色を修正してください。(リストはクリップボードにあります)\r\n" + list;
  if (platform::characterCount(text) > 400) text = std::string(platform::firstCharacters(text, 300));
  host.message("色を修正してください", text);
  return true;
}

bool refuseMemoryOrRange(const DrawingSettings& s, const RunValues& v, platform::Host& host) {
  for (const StartProblem& p : {memoryProblem(s, v), rangeProblem(v)}) {
    if (p.any()) {
      host.message(p.caption, p.text);
      return true;
    }
  }
  return false;
}

// True to go on.
bool acceptBuildingsOnMeshEdges(const DrawingSettings& s, const RunValues& v, geo::PlaneCoordinates& coords,
                                platform::Host& host) {
  return !buildingWarningNeeded(s, v, coords) ||
         host.ask("警告",
                  "8桁の標準地域メッシュにかかる建物は欠落する事があります。\r\n\r\n"
                  "建築物の表示ランクの外周を0m以上にする事で欠落を解消できます。\r\n\r\n"
                  "このまま続行するときはOK、修正するときはキャンセル",
                  platform::Buttons::OkCancel);
}

// Old sheets (and the old index drawing) go, once the user agrees to overwrite them.
StartOutcome removeOldOutput(const DrawingSettings& s, const RunValues& v, platform::Host& host) {
  const auto files = sheetFiles(s, v);
  std::error_code ec;
  if (v.singleSheet()) {
    if (std::filesystem::exists(files.front(), ec)) {
      if (!host.ask("既存ファイルがあります", s.mapName + ".dxf を上書きしますか。", platform::Buttons::YesNo))
        return StartOutcome::Declined;
      if (!removeFile(files.front())) {
        host.message("既存ファイル削除エラー", "他のソフトでファイルを開いていませんか");
        return StartOutcome::Refused;
      }
    }
    return StartOutcome::Ready;
  }
  bool any = false;
  for (const auto& f : files) any = any || std::filesystem::exists(f, ec);
  if (any) {
    if (!host.ask("既存ファイルがあります", "上書きしますか", platform::Buttons::YesNo)) return StartOutcome::Declined;
    for (const auto& f : files) {
      if (std::filesystem::exists(f, ec) && !removeFile(f)) {
        host.message("既存ファイル削除エラー", "他のソフトでファイルを開いていませんか");
        return StartOutcome::Refused;
      }
    }
  }
  const auto index = indexFileName(utf8Path(s.writeFolder), s.mapName);
  if (std::filesystem::exists(index, ec) && !removeFile(index)) {
    host.message("ファイル削除エラー", "index.dxfを削除出来ませんでした、他のソフトでファイルを開いていませんか。");
    return StartOutcome::Refused;
  }
  return StartOutcome::Ready;
}

}  // namespace

bool refuseSettings(DrawingSettings& s, RunValues& v, const platform::PrinterCatalogue& printers,
                    geo::PlaneCoordinates& coords, platform::Host& host) {
  const std::string report = checkSettings(s, printers, coords, v);
  if (report.empty()) return false;
  host.setClipboard(report);
  host.message("設定値を確認してください", report);
  return true;
}

StartOutcome prepareRun(DrawingSettings& s, RunValues& v, const platform::PrinterCatalogue& printers,
                        geo::PlaneCoordinates& coords, platform::Host& host) {
  if (refuseUnheldColours(s, host) || refuseSettings(s, v, printers, coords, host) || refuseMemoryOrRange(s, v, host))
    return StartOutcome::Refused;
  if (!acceptBuildingsOnMeshEdges(s, v, coords, host)) return StartOutcome::Declined;
  return removeOldOutput(s, v, host);
}

}  // namespace settings
