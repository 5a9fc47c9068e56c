#include "converter/settings/choice_lists.h"

#include "platform/text.h"

namespace settings {

const std::array<std::string_view, 2> kOrientationItems = {"縦長", "横長"};
const std::array<std::string_view, 5> kPenTableItems = {"acad.ctb", "aclt.ctb", "monochrome.ctb", "Grayscale.ctb",
                                                        "none"};
const std::array<std::string_view, 5> kTextFontItems = {"ＭＳ　明朝", "ＭＳＰ明朝", "ＭＳ　ゴシック", "ＭＳＰゴシック",
                                                        "MS UI Gothic"};
const std::array<std::string_view, 3> kDrawingUnitItems = {"mm", "cm", "m"};
const std::array<std::string_view, 32> kScaleItems = {
    "用紙いっぱいに", "自動選択", "1/10",     "1/15",      "1/20",      "1/25",      "1/50",      "1/100",
    "1/150",          "1/200",    "1/250",    "1/500",     "1/1000",    "1/1500",    "1/2000",    "1/2500",
    "1/5000",         "1/10000",  "1/15000",  "1/20000",   "1/25000",   "1/50000",   "1/100000",  "1/150000",
    "1/200000",       "1/250000", "1/500000", "1/1000000", "1/1500000", "1/2000000", "1/2500000", "1/5000000"};
const std::array<double, 32> kScaleDenominators = {0,      1,      10,     15,      20,      25,      50,      100,
                                                   150,    200,    250,    500,     1000,    1500,    2000,    2500,
                                                   5000,   10000,  15000,  20000,   25000,   50000,   100000,  150000,
                                                   200000, 250000, 500000, 1000000, 1500000, 2000000, 2500000, 5000000};
const std::array<std::string_view, 4> kFileFormatItems = {"DXF 2004 TrueColor", "DXF 2000  255色", "DXF JW_CAD 8色",
                                                          "DXF Adobe Illustrator"};
const std::array<std::string_view, 2> kInitialSpaceItems = {"ﾚｲｱｳﾄ", "モデル"};
const std::array<std::string_view, 2> kViewerItems = {"CAD等", "Orbiscope"};
const std::array<std::string_view, 8> kContourWeightItems = {"すべて細く",   "1m台を太く",   "5m台を太く",
                                                             "10m台を太く",  "50m台を太く",  "100m台を太く",
                                                             "500m台を太く", "1000m台を太く"};
const std::array<std::string_view, 4> kContourTargetItems = {"窪地以外", "すべての等高線", "窪地のみ",
                                                             "窪地のみ(面描画)"};
const std::array<std::string_view, 14> kShortContourItems = {
    "すべて描画",     "8節未満省略",    "16節未満省略",    "32節未満省略",   "64節未満省略",
    "128節未満省略",  "256節未満省略",  "512節未満省略",   "1024節未満省略", "2048節未満省略",
    "4096節未満省略", "8192節未満省略", "16384節未満省略", "32768節未満省略"};
const std::array<std::string_view, 8> kLegendLevelItems = {"2段階",  "3段階",  "5段階",  "9段階",
                                                           "17段階", "33段階", "65段階", "129段階"};
const std::array<std::string_view, 5> kRankFilterItems = {"すべて描画", "1/1000ランクの抑制", "1/2500ランクの抑制",
                                                          "1/5000ランクの抑制", "1/25000ランクの抑制"};
const std::array<int, 5> kRankThresholds = {0, 1000, 2500, 5000, 25000};
const std::array<std::string_view, 3> kMeshCodeDigitItems = {"4桁", "6桁", "8桁"};
const std::array<std::string_view, 29> kSizeItems = {"0.03", "0.05", "0.10", "0.15", "0.20", "0.30", "0.40", "0.50",
                                                     "0.60", "0.70", "0.80", "0.90", "1.00", "1.10", "1.20", "1.30",
                                                     "1.40", "1.50", "1.60", "1.80", "2.00", "2.50", "3.00", "3.50",
                                                     "4.00", "5.00", "6.00", "7.00", "8.00"};
const std::array<double, 29> kSizeFactors = {0.03, 0.05, 0.10, 0.15, 0.20, 0.30, 0.40, 0.50, 0.60, 0.70,
                                             0.80, 0.90, 1.00, 1.10, 1.20, 1.30, 1.40, 1.50, 1.60, 1.80,
                                             2.00, 2.50, 3.00, 3.50, 4.00, 5.00, 6.00, 7.00, 8.00};
const std::array<std::string_view, 25> kWeightItems = {
    "既定値", "0.00mm", "0.05mm", "0.09mm", "0.13mm", "0.15mm", "0.18mm", "0.20mm", "0.25mm",
    "0.30mm", "0.35mm", "0.40mm", "0.50mm", "0.53mm", "0.60mm", "0.70mm", "0.80mm", "0.90mm",
    "1.00mm", "1.06mm", "1.20mm", "1.40mm", "1.58mm", "2.00mm", "2.11mm"};

namespace {
struct ZoneRegions {
  int zone;
  std::vector<const char*> regions;
};
const std::vector<ZoneRegions>& zoneRegions() {
  static const std::vector<ZoneRegions> table = {
      {1, {"長崎県", "鹿児島県の西部"}},
      {2, {"鹿児島県の東部", "福岡県", "佐賀県", "熊本県", "大分県", "宮崎県"}},
      {3, {"山口県", "島根県", "広島県"}},
      {4, {"香川県", "愛媛県", "徳島県", "高知県"}},
      {5, {"兵庫県", "鳥取県", "岡山県"}},
      {6, {"京都府", "大阪府", "福井県", "滋賀県", "三重県", "奈良県", "和歌山県"}},
      {7, {"石川県", "富山県", "岐阜県", "愛知県"}},
      {8, {"新潟県", "長野県", "山梨県", "静岡県"}},
      {9, {"東京都の本州部", "福島県", "栃木県", "茨城県", "埼玉県", "千葉県", "群馬県", "神奈川県"}},
      {10, {"青森県", "秋田県", "山形県", "岩手県", "宮城県"}},
      {11, {"北海道 西部"}},
      {12, {"北海道 中部"}},
      {13, {"北海道 東部"}},
      {14, {"東京都 小笠原村"}},
      {15, {"沖縄県 東部"}},
      {16, {"沖縄県 西部"}},
      {17, {"沖縄県 北大東島", "沖縄県 南大東島"}},
      {18, {"東京都 沖ノ鳥島"}},
      {19, {"東京都 南鳥島"}},
  };
  return table;
}

// UTF-8 code points of a text (the item texts are short).
std::vector<std::string> characters(std::string_view text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = platform::characterLength(text, i);
    out.emplace_back(text.substr(i, n));
    i += n;
  }
  return out;
}
}  // namespace

const std::vector<std::string>& coordinateSystemItems() {
  static const std::vector<std::string> items = [] {
    std::vector<std::string> list;
    for (const auto& z : zoneRegions()) {
      std::string number = z.zone < 10 ? " " + std::to_string(z.zone) : std::to_string(z.zone);
      for (const char* region : z.regions) list.push_back("第" + number + "座標系 " + region);
    }
    return list;
  }();
  return items;
}

int zoneFromItemText(std::string_view itemText) {
  auto chars = characters(itemText);
  if (chars.size() < 3) return 0;
  std::string digits = chars[1] == " " ? chars[2] : chars[1] + chars[2];
  if (digits.empty()) return 0;
  int value = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return 0;
    value = value * 10 + (ch - '0');
  }
  return value;
}

int legendLevelItemCount(int fileFormat) {
  switch (fileFormat) {
    case 1: return 5;
    case 2: return 3;
    default: return 8;
  }
}

std::optional<double> thickContourStep(int rule) {
  static constexpr double kSteps[] = {1, 5, 10, 50, 100, 500, 1000};
  if (rule < 1 || rule > 7) return std::nullopt;
  return kSteps[rule - 1];
}

}  // namespace settings
