// Map symbols: block inserts of the symbol library, and route number plates.
#include <string>

#include "converter/fgd/reader_common.h"

namespace fgd {

namespace {

// Types that name a symbol block; a type is known when it occurs anywhere inside.
constexpr std::string_view kKnownSymbols =
    "三角点水準点電子基準点標高点市役所町村役場官公署裁判所税務署森林管理署気象台消防署保健所警察署交番郵便局小学校"
    "高等学校大学短大専門学校病院博物館図書館神社寺院老人ホーム高塔記念碑煙突電波塔油田ガス田灯台風車フェリー旅客船"
    "田園畑桑畑茶畑果樹園その他の樹木畑広葉樹林針葉樹林竹林ヤシ科樹林ハイマツ地笹地荒地砂礫地墓地自衛隊工場発電所"
    "変電所温泉噴火口採鉱地城跡重要港地方港漁港史跡国道番号";

struct Renaming {
  std::string_view read, used;
};
constexpr Renaming kSymbolRenamings[] = {
    {"田", "田園"},
    {"中学校", "小学校"},
    {"小中学校", "小学校"},
    {"高等学校・中等教育学校", "高等学校"},
    {"市役所・東京都の区役所", "市役所"},
    {"町村役場・政令指定都市の区役所", "町村役場"},
    {"外国公館", "官公署"},
    {"史跡・名勝・天然記念物", "史跡"},
    {"自然災害伝承碑", "記念碑"},
    {"ガス田", "油田"},
    {"噴火口・噴気口", "噴火口"},
    {"噴気口", "噴火口"},
    {"港湾", "重要港"},
    {"砂礫地（領域不明瞭）", "砂礫地"},
};

// Feature classes whose type is the class itself.
struct ImpliedType {
  std::string_view startMarker, typeLine;
};
constexpr ImpliedType kImpliedTypes[] = {
    {"<PwrPlnt", "<type>発電所</type>"},
    {"<Monument", "<type>記念碑</type>"},
    {"<RTwr", "<type>電波塔</type>"},
};

}  // namespace

void GmlReaders::GML16Symbol(const std::filesystem::path& file) {
  guarded("GML16Symbol", file, false, [&](LineScanner& in) {
    // Every entity goes to the first item of the group.
    const std::string& lay = layer(0);
    const double s = sizeFactor(0);
    std::string_view implied;
    for (const auto& t : kImpliedTypes)
      if (group_.featureStartMarker == t.startMarker) implied = t.typeLine;
    TagLine line;
    double x = 0, y = 0;
    int level = kStartLevel;
    std::string type, routeNumber;
    while (in.next(line)) {
      if (takePosition(line, x, y) && !implied.empty()) {
        line.text = implied;
        line.noteTags();
      }
      if (take(line, "<type>")) {
        type = valueUpTo(line);
        for (const auto& r : kSymbolRenamings)
          if (type == r.read) type = r.used;
      }
      if (take(line, "<nRNo>")) routeNumber = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const bool passes = insideSheet(x, y) && level >= rank_;
      level = kStartLevel;
      if (!passes) continue;
      const bool known = !type.empty() && contains(kKnownSymbols, type);
      if (known) {
        insertBlock(type, lay, x, y, 0, s);
      } else if (type != "指示点" && type != "踏切" && type != "雨裂（下部）") {
        // The end-of-run message lists the symbols the library lacks.
        ctx_.anomalyMessage += type;
      }
      if (type == "国道番号") {
        sheet::MText t;
        t.x = y;
        t.y = x;
        t.height = 35 * s * u_;
        t.width = 100 * s * u_;
        t.attachment = 5;
        t.direction = 5;
        if (flavour_ == geo::Flavour::jwCad)
          t.value = routeNumber;
        else if (flavour_ == geo::Flavour::palette255)
          t.value = "{\\fMS UI Gothic|b1|i0|c128|p50;" + routeNumber;
        else
          t.value = "{\\fMS PGothic|b1|i0|c128|p50;" + routeNumber;
        t.xAxis = dxfio::Vertex{1, 0};
        t.lineSpacing = 1;
        const geo::Colour plate =
            flavour_ == geo::Flavour::palette255 ? geo::Colour{130, std::nullopt} : geo::Colour{7, 16711422};
        out_.mtext(lay, t, plate);
      }
    }
  });
}

}  // namespace fgd
