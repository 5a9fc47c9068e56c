// Point features: names, elevation points and control points.
#include <string>

#include "converter/fgd/reader_common.h"
#include "converter/sheet/symbol_blocks.h"

namespace fgd {

void GmlReaders::GML1Name(const std::filesystem::path& file) {
  guarded("GML1Name", file, false, [&](LineScanner& in) {
    TagLine line;
    double x = 0, y = 0;
    int level = kStartLevel;
    std::string name, category;
    const double margin = 300 * u_;
    while (in.next(line)) {
      takePosition(line, x, y);
      if (take(line, "<ptName>")) name = valueUpTo(line);
      if (take(line, "<pfName>")) name = valueUpTo(line);
      if (take(line, "<name>")) name = valueUpTo(line);
      if (take(line, "<sbaNo>")) name = valueUpTo(line);
      if (take(line, "<sbNo>")) name = valueUpTo(line);
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (take(line, "<vis>")) category = valueUpTo(line);
      if (!contains(line, group_.featureEndMarker)) continue;
      const int k = route(category);
      const bool keep = k >= 0 && name != "＿未確認" && name != "＿なし" && level >= rank_ && x >= ctx_.sheetSouth &&
                        x <= ctx_.sheetNorth && y >= ctx_.sheetWest - margin && y <= ctx_.sheetEast;
      level = kStartLevel;
      if (!keep) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      if (geo::plainText(flavour_)) {
        const bool jw = flavour_ == geo::Flavour::jwCad;
        out_.textStart(lay, {y, jw ? x - 40 * s * u_ : x, 0}, (jw ? 40 : 30) * s * u_);
        out_.dxf().pair(1, name);
        out_.textEnd();
      } else {
        sheet::MText t;
        t.x = y;
        t.y = x;
        t.height = 30 * s * u_;
        t.value = inlineFont("p18") + name + "}";
        out_.mtext(lay, t);
      }
    }
  });
}

void GmlReaders::insertBlock(std::string_view block, std::string_view lay, double x, double y, double z, double s) {
  // A CAD program rejects a drawing that inserts a block it does not define: a type that
  // matched only a piece of a known name ("地") is told once and not drawn.
  if (!sheet::isLibraryBlock(block)) {
    ctx_.reportOnce("図式ブロックがないため描画しません: " + std::string(block));
    return;
  }
  out_.insert(lay, block, {y, x, z}, s * u_ / 1000);
}

void GmlReaders::heightText(std::string_view lay, double firstY, double firstX, double alignY, double alignX, double z,
                            double height, std::string_view text) {
  out_.textStart(lay, {firstY, firstX, z}, height);
  out_.dxf().pair(1, text);
  out_.textAlignment({alignY, alignX, z});
  out_.textEnd(2);
}

void GmlReaders::heightMText(std::string_view lay, double y, double x, double z, double height, std::string_view text) {
  sheet::MText t;
  t.x = y;
  t.y = x;
  t.z = z;
  t.height = height;
  t.attachment = 4;
  t.direction = 5;
  t.value = inlineFont("p18") + std::string(text);
  out_.mtext(lay, t);
}

void GmlReaders::GML2Elv(const std::filesystem::path& file) {
  guarded("GML2Elv", file, false, [&](LineScanner& in) {
    TagLine line;
    double x = 0, y = 0, z = -9999;
    int level = kStartLevel;
    std::string category;
    while (in.next(line)) {
      takePosition(line, x, y);
      if (take(line, "<type>")) category = valueUpTo(line);
      if (take(line, "<alti>")) z = parseReal(valueUpTo(line)) + ctx_.values.datumOffset;
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const bool passes = level >= rank_ && insideSheet(x, y);
      level = kStartLevel;
      if (!passes) continue;
      const int k = route(category);
      if (k < 0) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      insertBlock("標高点", lay, x, y, z, s);
      const std::string t = platform::formatNumber("%0.0f", z);
      const bool jw = flavour_ == geo::Flavour::jwCad;
      if (geo::plainText(flavour_))
        heightText(lay, y + 10 * s * u_, jw ? x - 16 * s * u_ : x, y + 10 * s * u_, x, z, (jw ? 40 : 30) * s * u_, t);
      else
        heightMText(lay, y + 10 * s * u_, x, z, 30 * s * u_, t);
    }
  });
}

void GmlReaders::GML4GCP(const std::filesystem::path& file) {
  guarded("GML4GCP", file, false, [&](LineScanner& in) {
    TagLine line;
    double x = 0, y = 0, z = -9999, latitude = 0;
    std::string block, category;
    while (in.next(line)) {
      if (take(line, "<B>")) latitude = parseReal(valueUpTo(line, "</B>")) / 3600;
      if (take(line, "<L>")) position(latitude, parseReal(valueUpTo(line, "</L>")) / 3600, x, y);
      if (take(line, "<type>")) block = valueUpTo(line);
      if (take(line, "<alti>")) z = parseReal(valueUpTo(line)) + ctx_.values.datumOffset;
      if (take(line, "<gcpClass>")) category = valueUpTo(line);
      if (take(line, "<gcpName>") && contains(valueUpTo(line), "（付）")) category = "outofdata";
      if (take(line, "<name>") && contains(valueUpTo(line), "（付）")) category = "outofdata";
      if (!contains(line, group_.featureEndMarker)) continue;
      const int k = route(category);
      if (k < 0 || !insideSheet(x, y)) continue;
      const double s = sizeFactor(static_cast<std::size_t>(k));
      const std::string& lay = layer(static_cast<std::size_t>(k));
      const std::string t = platform::formatNumber("%0.1f", z);
      if (flavour_ == geo::Flavour::jwCad) {
        // No symbol blocks there: a mark character leads the height.
        out_.textStart(lay, {y - 21 * s * u_, x - 17 * s * u_, z}, 37 * s * u_);
        out_.dxf().pair(1, (block == "水準点" ? "□" : "△") + t);
        out_.textEnd();
        continue;
      }
      insertBlock(block, lay, x, y, z, s);
      if (flavour_ == geo::Flavour::palette255)
        heightText(lay, y + 20 * s * u_, x, y + 17.8 * s * u_, x, z, 30 * s * u_, t);
      else
        heightMText(lay, y + 20 * s * u_, x, z, 30 * s * u_, t);
    }
  });
}

}  // namespace fgd
