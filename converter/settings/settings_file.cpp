#include "converter/settings/settings_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

#include "converter/settings/choice_lists.h"
#include "converter/settings/sheet_labels.h"
#include "platform/numbers.h"
#include "platform/printer_catalogue.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "platform/user_folders.h"

namespace settings {

namespace {

using platform::IniProfile;

constexpr std::array<const char*, kElevationSourceCount> kMeshKeys = {"alti5", "alti10", "alti50", "alti250",
                                                                      "alti1500"};
constexpr std::array<const char*, kElevationSourceCount> kContourKeys = {"cont5", "cont10", "cont50", "cont250",
                                                                         "cont1500"};

struct TreeSections {
  const char* onOff;
  const char* colour;
  const char* weight;
};
constexpr TreeSections kGsi = {"GSI-OnOff", "GSI-Color", "GSI--LineWeight"};
constexpr TreeSections kKkj = {"KKJ-OnOff", "KKJ-Color", "KKJ-LineWeight"};

std::string str(long v) { return std::to_string(v); }

// An index applied to a list of `count` items: outside it, nothing is selected.
int choice(long value, int count) { return value >= 0 && value < count ? static_cast<int>(value) : kNoChoice; }

using platform::contains;

class Writer {
 public:
  explicit Writer(IniProfile& ini) : ini_(ini) {}
  void text(const char* section, const std::string& key, const std::string& value) { ini_.set(section, key, value); }
  void integer(const char* section, const std::string& key, long value) { ini_.set(section, key, str(value)); }
  void flag(const char* section, const std::string& key, bool value) { integer(section, key, value ? 1 : 0); }
  void colour(const char* section, const std::string& key, std::uint32_t value) {
    ini_.set(section, key, colourText(value));
  }

 private:
  IniProfile& ini_;
};

class Reader {
 public:
  explicit Reader(const IniProfile& ini) : ini_(ini) {}
  std::string text(const char* section, const std::string& key, const std::string& current) const {
    return ini_.getString(section, key, current);
  }
  long integer(const char* section, const std::string& key, long current) const {
    return ini_.getInt(section, key, current);
  }
  bool flag(const char* section, const std::string& key, bool current) const {
    return ini_.getInt(section, key, current ? 1 : 0) != 0;
  }
  bool has(const char* section, const std::string& key) const { return ini_.get(section, key).has_value(); }

 private:
  const IniProfile& ini_;
};

void writeTree(Writer& w, const LayerTree& tree, const TreeSections& sec) {
  for (const auto& g : tree.groups)
    for (const auto& item : g.items) {
      w.flag(sec.onOff, item.entry.key, item.on);
      w.colour(sec.colour, item.entry.key, item.entry.colour);
      w.integer(sec.weight, item.entry.key, styleCode(item.entry.sizeIndex, item.entry.weightIndex));
    }
}

// One node read under `key` from the three sections; the weight value packs size and
// weight.
template <typename Node>
void readPacked(const Reader& r, Node& node, const TreeSections& sec, const std::string& key, bool onDefault) {
  node.on = r.flag(sec.onOff, key, onDefault);
  node.entry.colour = static_cast<std::uint32_t>(r.integer(sec.colour, key, static_cast<long>(node.entry.colour)));
  long n = r.integer(sec.weight, key, styleCode(node.entry.sizeIndex, node.entry.weightIndex));
  node.entry.sizeIndex = static_cast<int>(n / 256);
  node.entry.weightIndex = static_cast<int>(n & 0xFF);
}

// Versions 5 to 7 kept numbered keys: on/off, colour and the weight index alone.
void readNumbered(const Reader& r, LayerItem& item, const char* onSec, const char* colourSec, const char* weightSec,
                  int i) {
  std::string n = str(i);
  item.on = r.flag(onSec, "cb" + n, false);
  item.entry.colour =
      static_cast<std::uint32_t>(r.integer(colourSec, "color" + n, static_cast<long>(item.entry.colour)));
  item.entry.weightIndex = static_cast<int>(r.integer(weightSec, "lineweight" + n, item.entry.weightIndex));
  item.entry.sizeIndex = 12;
}

// Index of the numbered key an fgd item had in versions 5 to 7, or 0.
int legacyNumber(const std::string& key) {
  static const std::array<const char*, 11> patterns = {"dummy", "dummy", "CommBdry", "AdmPt",   "CommPt", "Cstline",
                                                       "WL",    "WA",    "RdEdg",    "RdCompt", "RailCL"};
  if (key == "AdmArea-12" || key == "AdmArea-23") return 1;
  if (key.starts_with("BldL-")) return 12;
  if (key.starts_with("BldA-")) return 13;
  if (key.starts_with("GCP-")) return 14;
  if (key == "ElevPt-1") return 15;
  int found = 0;
  for (int i = 1; i <= 11; ++i)
    if (contains(key, patterns[i - 1])) found = i;
  return found;
}

// Key an fgd item was stored under in versions 8 and 9 (empty: none).
std::string legacyFgdKey(const std::string& key) {
  for (const char* p : {"RailCL", "RdEdg", "RdCompt", "Cstline", "WL", "WA"})
    if (contains(key, p)) return p;
  if (key == "AdmBdry-1") return "AdmBdry";
  if (key == "AdmArea-12" || key == "AdmArea-23") return "AdmArea";
  if (key.starts_with("BldL-")) return "BldA-1";
  if (key.starts_with("BldA-")) return "BldA-2";
  if (key == "GCP-3" || key == "GCP-5") return "GCP-1";
  if (key == "GCP-4" || key == "GCP-6") return "GCP-2";
  return {};
}

std::string legacyBasicInfoKey(const std::string& key, int version) {
  if (version == 10) return key == "RailCL-9" ? "RailCL-8" : std::string();
  if (key == "AdmArea-12") return "AdmArea";
  if (key.starts_with("AdmBdry-")) return "AdmBdry";
  if (key.starts_with("WL-")) return "WL";
  if (key == "WA-3") return "WA-2";
  if (key.starts_with("Cstline-")) return "Cstline";
  if (key.starts_with("RdCompt-")) return "RdCompt";
  if (key.starts_with("BldL-")) return "BldA-1";
  if (key.starts_with("BldA-")) return "BldA-2";
  if (key == "GCP-3" || key == "GCP-5") return "GCP-1";
  if (key == "GCP-4" || key == "GCP-6") return "GCP-2";
  return {};
}

int normalisedWeight(int weight, bool pvk, int invalid) {
  if (pvk) weight = 4 * weight - 2;
  return weight >= 1 && weight <= 15 ? weight : invalid;
}

int normalisedSize(long size) { return size >= 0 && size <= 28 ? static_cast<int>(size) : 12; }

int normalisedStyle(long code, bool pvk, int invalidWeight) {
  long size = code / 256;
  int weight = static_cast<int>(((code % 256) + 256) % 256);
  return styleCode(normalisedSize(size), normalisedWeight(weight, pvk, invalidWeight));
}

void loadFgdTree(const Reader& r, LayerTree& tree, int v, bool pvk) {
  for (auto& g : tree.groups)
    for (auto& item : g.items) {
      const std::string& key = item.entry.key;
      if (v > 7) readPacked(r, item, kGsi, key, item.on);
      if (v >= 5 && v <= 7) {
        if (int i = legacyNumber(key)) {
          if (v == 5)
            readNumbered(r, item, "gml", "gml", "gml", i);
          else
            readNumbered(r, item, kGsi.onOff, kGsi.colour, kGsi.weight, i);
        }
      } else if (v == 8 || v == 9) {
        std::string old = legacyFgdKey(key);
        if (!old.empty()) readPacked(r, item, kGsi, old, false);
      }
    }
  auto normalise = [pvk](LayerEntry& e) {
    if (e.sizeIndex > 28 || e.sizeIndex < 0) e.sizeIndex = 12;
    e.weightIndex = normalisedWeight(e.weightIndex, pvk, 2);
  };
  for (auto& g : tree.groups) {
    normalise(g.entry);
    for (auto& item : g.items) normalise(item.entry);
  }
  deriveGroups(tree);
  expandActiveGroups(tree);
}

void loadBasicInfoTree(const Reader& r, DrawingSettings& s, int v) {
  LayerTree& tree = s.basicInfoLayers;
  if (v < 8) {
    auto reset = [](auto& node) {
      node.on = false;
      node.entry.sizeIndex = 12;
      node.entry.weightIndex = 2;
    };
    for (auto& g : tree.groups) {
      reset(g);
      for (auto& item : g.items) reset(item);
    }
    s.objectRankFilter = 0;
    s.symbolScale = "1.0";
    s.minRoadWidth = "0.0";
    s.minBuildingPerimeter = 0;
  } else {
    for (auto& g : tree.groups) {
      readPacked(r, g, kKkj, g.entry.key, g.on);
      for (auto& item : g.items) {
        readPacked(r, item, kKkj, item.entry.key, item.on);
        if (v <= 10) {
          std::string old = legacyBasicInfoKey(item.entry.key, v);
          if (!old.empty()) readPacked(r, item, kKkj, old, item.on);
        }
      }
    }
    s.objectRankFilter =
        choice(r.integer("KKJ-Rank", "objsize", s.objectRankFilter), static_cast<int>(kRankFilterItems.size()));
    s.symbolScale = r.text("KKJ-Rank", "czoom", s.symbolScale);
    s.minRoadWidth = r.text("KKJ-Rank", "road", s.minRoadWidth);
    s.minBuildingPerimeter = static_cast<int>(r.integer("KKJ-Rank", "bld", s.minBuildingPerimeter));
  }
  deriveGroups(tree);
  expandActiveGroups(tree);
}

void loadMlit(const Reader& r, std::vector<MlitLayerEntry>& list, int v, bool pvk) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    auto& e = list[i];
    if (v > 7) {
      e.on = r.flag("MLIT-OnOff", e.key, e.on);
      e.colour = static_cast<std::uint32_t>(r.integer("MLIT-Color", e.key, static_cast<long>(e.colour)));
      e.styleCode = static_cast<int>(r.integer("MLIT-LineWeight", e.key, e.styleCode));
    } else if (v == 6 || v == 7) {
      e.on = r.flag("MLIT-OnOff", e.key, false);
      e.colour = static_cast<std::uint32_t>(r.integer("MLIT-Color", e.key, static_cast<long>(e.colour)));
      e.styleCode = static_cast<int>(r.integer("MLIT-LineWeight", e.key, 1)) + 3072;
    } else if (i <= 72) {
      std::string n = str(static_cast<long>(i));
      e.on = r.flag("JPGIS", "cb" + n, false);
      e.colour = static_cast<std::uint32_t>(r.integer("JPGIS", "color" + n, static_cast<long>(e.colour)));
      e.styleCode = static_cast<int>(r.integer("JPGIS", "lineweight" + n, 1)) + 3072;
    }
    e.styleCode = normalisedStyle(e.styleCode, pvk, 2);
  }
}

}  // namespace

std::string colourText(std::uint32_t colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%06X", colour & 0xFFFFFFu);
  return buf;
}

namespace {

// The "kihon" section: folders, file format, paper, printer, font, scale, margins.
void saveBasics(Writer& w, const DrawingSettings& s) {
  const char* k = "kihon";
  w.integer(k, "ver", kSettingsVersion);
  w.text(k, "readfolder", s.fgdFolder);
  w.text(k, "meshfolder", s.elevationFolder);
  w.text(k, "kkjfolder", s.basicInfoFolder);
  w.text(k, "syoufolder", s.mlitFolder);
  w.text(k, "writefolder", s.writeFolder);
  w.flag(k, "subfolder", s.processSubfolders);
  w.flag(k, "heiretsu", s.parallelSheets);
  w.integer(k, "type", s.fileFormat);
  w.integer(k, "size", s.paperOrientation == 1 ? 6 : 2);
  w.integer(k, "tanni", s.drawingUnit);
  w.text(k, "printer", s.printerName);
  w.text(k, "yousi", s.paperSize);
  w.text(k, "pen", s.penTable);
  w.integer(k, "font", s.textFont);
  w.integer(k, "syukusyaku", s.scaleChoice);
  w.integer(k, "yohakul", s.marginLeft);
  w.integer(k, "yohakut", s.marginTop);
  w.integer(k, "yohakur", s.marginRight);
  w.integer(k, "yohakub", s.marginBottom);
  w.integer(k, "dxftype", s.fileFormat);
  w.integer(k, "syokihyoji", s.initialSpace);
  w.integer(k, "cadtype", s.viewerChoice);
}

// The "area" section: map name, system, edges, divisions, corrections.
void saveArea(Writer& w, const DrawingSettings& s) {
  const char* a = "area";
  w.text(a, "namae", s.mapName);
  w.integer(a, "zahyokei", s.coordinateSystem);
  w.text(a, "kita", s.northEdge);
  w.text(a, "minami", s.southEdge);
  w.text(a, "nisi", s.westEdge);
  w.text(a, "higasi", s.eastEdge);
  w.text(a, "yokodiv", s.sheetColumns);
  w.text(a, "tatediv", s.sheetRows);
  w.integer(a, "kasane", s.overlapPercent);
  w.text(a, "hosex", s.eastWestCorrection);
  w.text(a, "hosey", s.northSouthCorrection);
}

// The "alti" section: sources, contour rules, legend, cross sections.
void saveElevation(Writer& w, const DrawingSettings& s) {
  const char* e = "alti";
  for (int i = 0; i < kElevationSourceCount; ++i) w.flag(e, kMeshKeys[i], s.meshSource == i);
  for (int i = 0; i < kElevationSourceCount; ++i) w.flag(e, kContourKeys[i], s.contourSource == i);
  w.integer(e, "lineweight", s.contourWeightRule);
  w.integer(e, "taisyo", s.contourTarget);
  w.integer(e, "syoryaku", s.shortContourOmission);
  w.text(e, "hose", s.datumCorrection);
  w.text(e, "kyotyo", s.elevationExaggeration);
  w.integer(e, "iro", s.legendColourRamp);
  w.integer(e, "hanreisu", s.legendLevelChoice);
  w.flag(e, "jido", s.legendAuto);
  w.integer(e, "kankaku", s.legendIntervalBias);
  w.integer(e, "kamen", s.legendBottomBias);
  w.flag(e, "danmen", s.crossSectionsOn);
  w.integer(e, "danmensu", s.crossSectionCount);
  w.integer(e, "kakudo", s.crossSectionAngle);
}

// The two layer trees, the National Land Numerical Information list and the rank filter.
void saveLayers(Writer& w, const DrawingSettings& s) {
  writeTree(w, s.fgdLayers, kGsi);
  for (const auto& m : s.mlitLayers) {
    w.flag("MLIT-OnOff", m.key, m.on);
    w.colour("MLIT-Color", m.key, m.colour);
    w.integer("MLIT-LineWeight", m.key, m.styleCode);
  }
  writeTree(w, s.basicInfoLayers, kKkj);

  w.integer("KKJ-Rank", "objsize", s.objectRankFilter);
  w.text("KKJ-Rank", "czoom", s.symbolScale);
  w.text("KKJ-Rank", "road", s.minRoadWidth);
  w.integer("KKJ-Rank", "bld", s.minBuildingPerimeter);
}

// The "tiikimesh" section.
void saveMeshGrid(Writer& w, const DrawingSettings& s) {
  w.flag("tiikimesh", "cb", s.meshGridOn);
  w.colour("tiikimesh", "color", s.meshGridColour);
  w.integer("tiikimesh", "lineweight", s.meshGridStyle);
  w.integer("tiikimesh", "keta", s.meshCodeDigits);
}

// The typed legend tables, one key per sheet.
void saveLegendTables(Writer& w, DrawingSettings& s) {
  s.resizeLegendTables();
  int rows = s.typedRows(), cols = s.typedColumns();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) w.text("kankaku", legendKey(r, c, rows), s.legendIntervals.cell(r, c));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) w.text("kamen", legendKey(r, c, rows), s.legendBottoms.cell(r, c));
}

}  // namespace

bool saveSettings(const std::filesystem::path& file, DrawingSettings& s, std::string* error) {
  IniProfile ini = IniProfile::load(file);
  Writer w(ini);
  saveBasics(w, s);
  saveArea(w, s);
  saveElevation(w, s);
  saveLayers(w, s);
  saveMeshGrid(w, s);
  saveLegendTables(w, s);
  return ini.save(file, error);
}

namespace {

// The "kihon" section: folders, file format, paper, printer, font, scale, margins.
void loadBasics(const Reader& r, DrawingSettings& s, int v, const platform::PrinterCatalogue& printers) {
  const char* k = "kihon";
  s.fgdFolder = r.text(k, "readfolder", s.fgdFolder);
  s.elevationFolder = r.text(k, "meshfolder", s.elevationFolder);
  s.basicInfoFolder = r.text(k, "kkjfolder", s.basicInfoFolder);
  s.mlitFolder = r.text(k, "syoufolder", s.mlitFolder);
  s.writeFolder = r.text(k, "writefolder", s.writeFolder);
  s.processSubfolders = r.flag(k, "subfolder", s.processSubfolders);
  s.parallelSheets = r.flag(k, "heiretsu", s.parallelSheets);
  s.fileFormat = choice(r.integer(k, "type", s.fileFormat), static_cast<int>(kFileFormatItems.size()));
  s.paperOrientation = r.integer(k, "size", 4L * s.paperOrientation + 2) > 3 ? 1 : 0;
  s.drawingUnit = choice(r.integer(k, "tanni", s.drawingUnit), static_cast<int>(kDrawingUnitItems.size()));
  std::string printer = r.text(k, "printer", s.printerName);
  if (printer != s.printerName) {
    // Choosing another printer refills its paper list, which clears the paper text.
    s.printerName = printer;
    if (printers.hasPrinter(printer)) s.paperSize.clear();
  }
  s.paperSize = r.text(k, "yousi", s.paperSize);
  s.penTable = r.text(k, "pen", "none");
  long font = r.integer(k, "font", s.textFont);
  if (v < 10) font -= 3;
  if (font < 0) font = 3;
  s.textFont = choice(font, static_cast<int>(kTextFontItems.size()));
  s.scaleChoice = choice(r.integer(k, "syukusyaku", s.scaleChoice), static_cast<int>(kScaleItems.size()));
  s.marginLeft = static_cast<int>(r.integer(k, "yohakul", s.marginLeft));
  s.marginTop = static_cast<int>(r.integer(k, "yohakut", s.marginTop));
  s.marginRight = static_cast<int>(r.integer(k, "yohakur", s.marginRight));
  s.marginBottom = static_cast<int>(r.integer(k, "yohakub", s.marginBottom));
  s.fileFormat = choice(r.integer(k, "dxftype", s.fileFormat), static_cast<int>(kFileFormatItems.size()));
  s.initialSpace = choice(r.integer(k, "syokihyoji", s.initialSpace), static_cast<int>(kInitialSpaceItems.size()));
  s.viewerChoice = choice(r.integer(k, "cadtype", s.viewerChoice), static_cast<int>(kViewerItems.size()));
}

// The "area" section: map name, coordinate system, edges, sheet grid, corrections.
void loadArea(const Reader& r, DrawingSettings& s) {
  const char* a = "area";
  s.mapName = r.text(a, "namae", s.mapName);
  s.coordinateSystem =
      choice(r.integer(a, "zahyokei", s.coordinateSystem), static_cast<int>(coordinateSystemItems().size()));
  s.northEdge = r.text(a, "kita", s.northEdge);
  s.southEdge = r.text(a, "minami", s.southEdge);
  s.westEdge = r.text(a, "nisi", s.westEdge);
  s.eastEdge = r.text(a, "higasi", s.eastEdge);
  s.sheetColumns = r.text(a, "yokodiv", s.sheetColumns);
  s.sheetRows = r.text(a, "tatediv", s.sheetRows);
  s.overlapPercent = static_cast<int>(std::clamp(r.integer(a, "kasane", s.overlapPercent), 0L, 50L));
  s.eastWestCorrection = r.text(a, "hosex", s.eastWestCorrection);
  s.northSouthCorrection = r.text(a, "hosey", s.northSouthCorrection);
}

// The "alti" section. Its boxes are set one after the other, so the last stored "on" of
// a set wins.
void loadElevation(const Reader& r, DrawingSettings& s, int v) {
  const char* e = "alti";
  std::array<std::string, kElevationSourceCount> meshKeys, contourKeys;
  if (v < 7) {
    meshKeys = {"cb16", "cb17", "cb18", "cb19", ""};
    contourKeys = {"cb20", "cb21", "cb22", "cb23", ""};
  } else if (v == 7) {
    meshKeys = {"cb16", "cb17", "cb18", "cb19", "cb24"};
    contourKeys = {"cb20", "cb21", "cb22", "cb23", "cb25"};
  } else {
    for (int i = 0; i < kElevationSourceCount; ++i) {
      meshKeys[i] = kMeshKeys[i];
      contourKeys[i] = kContourKeys[i];
    }
  }
  const bool legacySources = v <= 7;
  for (int i = 0; i < kElevationSourceCount; ++i) {
    bool on = meshKeys[i].empty() ? false : r.flag(e, meshKeys[i], legacySources ? false : s.meshSource == i);
    s.setMeshSource(i, on);
  }
  for (int i = 0; i < kElevationSourceCount; ++i) {
    bool on = contourKeys[i].empty() ? false : r.flag(e, contourKeys[i], legacySources ? false : s.contourSource == i);
    s.setContourSource(i, on);
  }
  s.contourWeightRule =
      choice(r.integer(e, "lineweight", s.contourWeightRule), static_cast<int>(kContourWeightItems.size()));
  s.contourTarget = choice(r.integer(e, "taisyo", s.contourTarget), static_cast<int>(kContourTargetItems.size()));
  s.shortContourOmission =
      choice(r.integer(e, "syoryaku", s.shortContourOmission), static_cast<int>(kShortContourItems.size()));
  s.datumCorrection = r.text(e, "hose", s.datumCorrection);
  s.elevationExaggeration = r.text(e, "kyotyo", s.elevationExaggeration);
  s.legendColourRamp = static_cast<int>(std::clamp(r.integer(e, "iro", s.legendColourRamp), 0L, 7L));
  s.legendLevelChoice = choice(r.integer(e, "hanreisu", s.legendLevelChoice), s.legendLevelItemCount());
  s.legendAuto = r.flag(e, "jido", true);
  s.legendIntervalBias = static_cast<int>(std::clamp(r.integer(e, "kankaku", s.legendIntervalBias), 0L, 10L));
  s.legendBottomBias = static_cast<int>(std::clamp(r.integer(e, "kamen", s.legendBottomBias), 0L, 10L));
  s.crossSectionsOn = r.flag(e, "danmen", s.crossSectionsOn);
  s.crossSectionCount = static_cast<int>(std::clamp(r.integer(e, "danmensu", s.crossSectionCount), 1L, 100L));
  s.crossSectionAngle = static_cast<int>(std::clamp(r.integer(e, "kakudo", s.crossSectionAngle), -3600L, 3600L));
}

// The "tiikimesh" section: the grid of standard area meshes.
void loadMeshGrid(const Reader& r, DrawingSettings& s, int v, bool pvk) {
  s.meshGridOn = r.flag("tiikimesh", "cb", s.meshGridOn);
  s.meshGridColour = static_cast<std::uint32_t>(r.integer("tiikimesh", "color", static_cast<long>(s.meshGridColour)));
  long style = r.integer("tiikimesh", "lineweight", s.meshGridStyle);
  if (v <= 7) style += 3072;
  s.meshGridStyle = normalisedStyle(style, pvk, 1);
  s.meshCodeDigits =
      choice(r.integer("tiikimesh", "keta", s.meshCodeDigits), static_cast<int>(kMeshCodeDigitItems.size()));
}

// The legend tables of the grid the loaded settings name.
void loadLegendTables(const IniProfile& ini, DrawingSettings& s) {
  s.resizeLegendTables();
  const int rows = s.typedRows(), cols = s.typedColumns();
  // Only the keys the file holds: looking up every cell of a large grid takes minutes.
  std::unordered_map<std::string, int> rowOfLabel;
  for (int row = 0; row < rows; ++row) rowOfLabel.emplace(rowst(row, "", rows), row);
  auto load = [&](const char* section, LegendTable& table) {
    const auto entries = ini.entries(section);
    // Backwards, so that the first of a repeated key wins as in a lookup.
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
      std::string key = e->first;
      const auto digits = key.find_first_of("0123456789");
      if (digits == std::string::npos || digits == 0) continue;
      int column;
      if (!platform::parseWhole(std::string_view(key).substr(digits), column) || column < 0 || column >= cols) continue;
      for (auto& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      const auto row = rowOfLabel.find(key.substr(0, digits));
      if (row != rowOfLabel.end() && legendKey(row->second, column, rows) == key)
        table.setCell(row->second, column, e->second);
    }
  };
  load("kankaku", s.legendIntervals);
  load("kamen", s.legendBottoms);
}

}  // namespace

void loadSettings(const std::filesystem::path& file, DrawingSettings& s, const platform::PrinterCatalogue& printers) {
  IniProfile ini = IniProfile::load(file);
  Reader r(ini);
  const bool pvk = contains(pathText(file.filename()), ".pvk");
  const int v = static_cast<int>(r.integer("kihon", "ver", 0));
  loadBasics(r, s, v, printers);
  loadArea(r, s);
  loadElevation(r, s, v);
  loadFgdTree(r, s.fgdLayers, v, pvk);
  loadMlit(r, s.mlitLayers, v, pvk);
  loadBasicInfoTree(r, s, v);
  loadMeshGrid(r, s, v, pvk);
  loadLegendTables(ini, s);
  s.applyFileFormatRules();
}

std::optional<std::string> proposedSaveName(const std::filesystem::path& file) {
  std::string name = pathText(file.filename());
  for (const char* fixed : {kFgdStandardFile, kMlitStandardColourFile, kBasicInfoStandardFile, kCheckClearFile})
    if (name == fixed) return std::nullopt;
  return pathText(std::filesystem::path(file.filename()).replace_extension(".trl"));
}

std::filesystem::path lastRunSettingsFile() { return platform::settingsFolder() / kLastRunFile; }

}  // namespace settings
