#include "converter/sheet/text_fonts.h"

#include <span>

namespace sheet {

namespace {

struct Face {
  std::string_view file;  // 3
  std::string_view name;  // 1000
  int charset;            // 1071
};

// The last entry serves every font index beyond the others.
constexpr Face kLatin[] = {{"MSMINCHO.TTF", "MS Mincho", 32785},
                           {"", "MS PMincho", 32786},
                           {"", "MS Gothic", 32817},
                           {"", "MS PGothic", 32818},
                           {"MS UI Gothic.ttf", "MS UI Gothic", 32818}};
constexpr Face kJapanese[] = {{"MSMINCHO.TTF", "ＭＳ 明朝", 32785},
                              {"", "ＭＳ Ｐ明朝", 32786},
                              {"", "ＭＳ ゴシック", 32817},
                              {"", "ＭＳ Ｐゴシック", 32818}};
constexpr Face kLatinVertical[] = {{"", "@MS Mincho", 32785},
                                   {"", "@MS PMincho", 32786},
                                   {"", "@MS Gothic", 32817},
                                   {"", "@MS PGothic", 32818},
                                   {"@MS UI Gothic.ttf", "@MS UI Gothic", 32818}};
constexpr Face kJapaneseVertical[] = {{"MSMINCHO.TTF", "@ＭＳ 明朝", 32785},
                                      {"", "@ＭＳ Ｐ明朝", 32786},
                                      {"", "@ＭＳ ゴシック", 32817},
                                      {"", "@ＭＳ Ｐゴシック", 32818}};
// Illustrator takes no vertical faces: its TATEGAKI style uses the upright ones.
constexpr Face kIllustratorVertical[] = {
    {"", "MS Mincho", 32785}, {"", "MS PMincho", 32786}, {"", "MS Gothic", 32817}, {"", "MS PGothic", 32818}};

const Face& pick(std::span<const Face> faces, int font) {
  const int last = static_cast<int>(faces.size()) - 1;
  return faces[static_cast<std::size_t>(font >= 0 && font < last ? font : last)];
}

void writeFace(dxfio::DxfWriter& w, const Face& f) {
  w.pair(3, f.file);
  w.pair(4, "");
  w.pair(1001, "ACAD");
  w.pair(1000, f.name);
  w.pair(1071, f.charset);
}

}  // namespace

void writeStandardFont(dxfio::DxfWriter& w, geo::Flavour flavour, int font) {
  writeFace(w, pick(flavour == geo::Flavour::palette255 ? std::span<const Face>(kJapanese) : kLatin, font));
}

void writeVerticalFont(dxfio::DxfWriter& w, geo::Flavour flavour, int font) {
  switch (flavour) {
    case geo::Flavour::palette255: return writeFace(w, pick(kJapaneseVertical, font));
    case geo::Flavour::jwCad: return w.pairs({{3, "txt.shx"}, {4, "bigfont.shx"}});
    case geo::Flavour::illustrator: return writeFace(w, pick(kIllustratorVertical, font));
    default: return writeFace(w, pick(kLatinVertical, font));
  }
}

std::string_view inlineFontFace(int font) { return pick(std::span<const Face>(kLatin).first(4), font).name; }

}  // namespace sheet
