// Annotation texts, horizontal or vertical, at their angle.
#include <cmath>
#include <string>

#include "converter/fgd/reader_common.h"

namespace fgd {

void GmlReaders::GML8LayoutStr(const std::filesystem::path& file) {
  guarded("GML8LayoutStr", file, false, [&](LineScanner& in) {
    TagLine line;
    double x = 0, y = 0, a = 0;
    int level = kStartLevel, arrangement = 1;
    std::string category, text;
    const double u = u_;
    while (in.next(line)) {
      takePosition(line, x, y);
      if (take(line, "<annoCtg>")) category = valueUpTo(line);
      if (take(line, "<knj>")) text = valueUpTo(line);
      if (take(line, "<arrng>")) arrangement = parseWhole(valueUpTo(line));
      if (take(line, "<arrngAgl>")) a = parseReal(valueUpTo(line));
      if (take(line, "<orgGILvl>")) level = parseWhole(valueUpTo(line));
      if (!contains(line, group_.featureEndMarker)) continue;
      const int featureLevel = level;
      level = kStartLevel;
      // The last item whose value occurs in the category wins.
      int k = -1;
      for (std::size_t i = 0; i < group_.activeAttributeValues.size(); ++i) {
        const auto& v = group_.activeAttributeValues[i];
        if (!v.empty() && contains(category, v)) k = static_cast<int>(i);
      }
      if (k < 0) continue;
      const auto item = static_cast<std::size_t>(k);
      const bool inY = y >= ctx_.sheetWest && y <= ctx_.sheetEast;
      const bool inX = x >= ctx_.sheetSouth && x <= ctx_.sheetNorth;
      bool horizontal = false;
      if (arrangement == 1) {
        if (option(item) != "1" || featureLevel < rank_ || !inX || y < ctx_.sheetWest - 300 * u || y > ctx_.sheetEast)
          continue;
        horizontal = true;
      } else if (arrangement == 2) {
        if (option(item) != "2" || featureLevel < rank_ || !inY || x < ctx_.sheetSouth || x > ctx_.sheetNorth + 300 * u)
          continue;
      } else {
        continue;
      }
      const double s = sizeFactor(item);
      const std::string& lay = layer(item);
      const Annotation note{lay, x, y, a, s, text};
      if (horizontal)
        horizontalAnnotation(note);
      else
        verticalAnnotation(note);
    }
  });
}

// The reference width of an MTEXT annotation: a character square per character and one more.
double GmlReaders::annotationWidth(const Annotation& n) const {
  return (48.0 * static_cast<double>(characterCount(n.text)) + 48) * n.scale * u_;
}

void GmlReaders::horizontalAnnotation(const Annotation& n) {
  const double u = u_, s = n.scale, x = n.x, y = n.y, a = n.angle;
  auto& dxf = out_.dxf();
  if (flavour_ == geo::Flavour::palette255) {
    out_.textStart(n.layer, {y + 7 * u, x, 0}, 33 * s * u);
    dxf.pair(72, 0);
    dxf.pair(50, a);
    dxf.pair(1, n.text);
    out_.textAlignment({y + 7 * u, x, 0});
    out_.textEnd(2);
  } else if (flavour_ == geo::Flavour::jwCad) {
    out_.textStart(n.layer, {y + 7 * s * u, x - 16 * s * u, 0}, 44 * s * u);
    dxf.pair(41, 1);
    dxf.pair(50, a);
    dxf.pair(1, n.text);
    out_.textEnd();
  } else {
    sheet::MText t;
    t.x = y + 7 * u;
    t.y = flavour_ == geo::Flavour::illustrator ? x + 2 * u : x;
    t.height = 33 * s * u;
    t.width = annotationWidth(n);
    t.attachment = 4;
    t.direction = 5;
    t.value = inlineFont("p50") + std::string(n.text);
    t.xAxis = dxfio::Vertex{std::cos(a * kDegree), std::sin(a * kDegree)};
    t.lineSpacing = 1;
    out_.mtext(n.layer, t);
  }
}

void GmlReaders::verticalAnnotation(const Annotation& n) {
  const double u = u_, s = n.scale, x = n.x, a = n.angle;
  const double c = std::cos(a * kDegree), d = std::sin(a * kDegree);
  const double vy = n.y + (8 * d + 5) * u;
  if (geo::plainText(flavour_)) {
    // Vertical writing through the TATEGAKI style.
    const bool palette = flavour_ == geo::Flavour::palette255;
    auto& dxf = out_.dxf();
    out_.textStart(n.layer, {vy, x - 5 * u, 0}, (palette ? 33 : 44) * s * u);
    dxf.pair(1, n.text);
    dxf.pair(50, palette ? a + 270 : a);
    dxf.pair(7, "TATEGAKI");
    if (palette) out_.textAlignment({vy, x - 5 * u, 0});
    out_.textEnd(palette ? 2 : 0);
    return;
  }
  const bool illustrator = flavour_ == geo::Flavour::illustrator;
  sheet::MText t;
  t.x = vy;
  t.y = illustrator ? x + (8 * c + 5) * u : x - 5 * u;
  t.height = 33 * s * u;
  t.width = annotationWidth(n);
  t.attachment = 4;
  t.direction = 5;
  t.value = inlineFont("p18", flavour_ == geo::Flavour::trueColour) + std::string(n.text);
  t.xAxis =
      illustrator ? dxfio::Vertex{c, d} : dxfio::Vertex{std::cos((a + 270) * kDegree), std::sin((a + 270) * kDegree)};
  t.lineSpacing = 1;
  out_.mtext(n.layer, t);
}

}  // namespace fgd
