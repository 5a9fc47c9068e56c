#include "viewer/gl/glyphs.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace viewer {
namespace {

// Drawings name their Japanese font by its Windows name; this is the installed font that
// stands for it. Fonts further down the sorted list fill in characters it lacks.
constexpr const char* kJapaneseFamily = "Noto Sans CJK JP";

// Curves are flattened to within one design unit, the finest an outline font call makes.
constexpr double kFlatness = 1.0;

using Point = std::array<double, 3>;

class FontLibrary {
 public:
  static FontLibrary& get() {
    static FontLibrary library;
    return library;
  }

  const GlyphShape& shape(char32_t c) {
    std::lock_guard lock(mutex_);
    auto found = shapes_.find(c);
    if (found != shapes_.end()) return found->second;
    return shapes_.emplace(c, makeShape(c)).first->second;
  }

 private:
  FontLibrary() {
    if (FT_Init_FreeType(&ft_) != 0) ft_ = nullptr;
    if (!FcInit()) return;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kJapaneseFamily));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    fonts_ = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);
  }
  // The library lives until the process ends; faces and font set go with it.

  FT_Face face(FcPattern* font) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !ft_) return nullptr;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    const auto key = std::make_pair(std::string(reinterpret_cast<const char*>(file)), index);
    auto found = faces_.find(key);
    if (found != faces_.end()) return found->second;
    FT_Face f = nullptr;
    if (FT_New_Face(ft_, key.first.c_str(), index, &f) != 0) f = nullptr;
    faces_.emplace(key, f);
    return f;
  }

  // The first font of the sorted list that maps `c` to a glyph, with that glyph's index.
  std::pair<FT_Face, FT_UInt> glyphOf(char32_t c) {
    if (!fonts_) return {nullptr, 0};
    for (int i = 0; i < fonts_->nfont; ++i) {
      FcCharSet* charset = nullptr;
      if (FcPatternGetCharSet(fonts_->fonts[i], FC_CHARSET, 0, &charset) != FcResultMatch) continue;
      if (!FcCharSetHasChar(charset, c)) continue;
      FT_Face f = face(fonts_->fonts[i]);
      if (!f) continue;
      if (FT_UInt index = FT_Get_Char_Index(f, c)) return {f, index};
    }
    return {nullptr, 0};
  }

  FT_Face primaryFace() {
    if (!fonts_) return nullptr;
    for (int i = 0; i < fonts_->nfont; ++i)
      if (FT_Face f = face(fonts_->fonts[i])) return f;
    return nullptr;
  }

  GlyphShape makeShape(char32_t c);

  std::mutex mutex_;
  FT_Library ft_ = nullptr;
  FcFontSet* fonts_ = nullptr;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
  std::unordered_map<char32_t, GlyphShape> shapes_;
};

// Outline contours as flat polygons, in design units.
struct Flattener {
  std::vector<std::vector<Point>> contours;
  Point at{0, 0, 0};

  void add(double x, double y) {
    at = {x, y, 0};
    contours.back().push_back(at);
  }
  static int moveTo(const FT_Vector* to, void* user) {
    auto* self = static_cast<Flattener*>(user);
    self->contours.emplace_back();
    self->add(to->x, to->y);
    return 0;
  }
  static int lineTo(const FT_Vector* to, void* user) {
    static_cast<Flattener*>(user)->add(to->x, to->y);
    return 0;
  }
  // Uniform steps, as many as keep the chord within the flatness: the deviation of n
  // steps is at most 3/4 of the control polygon's second difference over n squared.
  static int steps(double secondDifference) {
    return std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * secondDifference / kFlatness))), 1, 64);
  }
  static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* self = static_cast<Flattener*>(user);
    const Point p0 = self->at;
    const double dx = p0[0] - 2.0 * control->x + to->x, dy = p0[1] - 2.0 * control->y + to->y;
    const int n = steps(std::hypot(dx, dy));
    for (int i = 1; i <= n; ++i) {
      const double t = double(i) / n, u = 1 - t;
      self->add(u * u * p0[0] + 2 * u * t * control->x + t * t * to->x,
                u * u * p0[1] + 2 * u * t * control->y + t * t * to->y);
    }
    return 0;
  }
  static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* self = static_cast<Flattener*>(user);
    const Point p0 = self->at;
    const double d1 = std::hypot(p0[0] - 2.0 * c1->x + c2->x, p0[1] - 2.0 * c1->y + c2->y);
    const double d2 = std::hypot(double(c1->x) - 2.0 * c2->x + to->x, double(c1->y) - 2.0 * c2->y + to->y);
    const int n = steps(std::max(d1, d2));
    for (int i = 1; i <= n; ++i) {
      const double t = double(i) / n, u = 1 - t;
      const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
      self->add(a * p0[0] + b * c1->x + d * c2->x + e * to->x, a * p0[1] + b * c1->y + d * c2->y + e * to->y);
    }
    return 0;
  }
};

// Triangles out of the GLU tessellator. The edge-flag callback makes it give plain
// triangles only (no fans or strips).
struct TriangleSink {
  std::vector<float>* out;
  double scale;
  std::deque<Point> extra;
  bool failed = false;

  static void GLAPIENTRY begin(GLenum, void*) {}
  static void GLAPIENTRY edgeFlag(GLboolean, void*) {}
  static void GLAPIENTRY vertex(void* data, void* user) {
    auto* self = static_cast<TriangleSink*>(user);
    const auto* p = static_cast<const double*>(data);
    self->out->push_back(static_cast<float>(p[0] * self->scale));
    self->out->push_back(static_cast<float>(p[1] * self->scale));
  }
  static void GLAPIENTRY end(void*) {}
  static void GLAPIENTRY combine(GLdouble coords[3], void* [4], GLfloat[4], void** outData, void* user) {
    auto* self = static_cast<TriangleSink*>(user);
    self->extra.push_back({coords[0], coords[1], coords[2]});
    *outData = self->extra.back().data();
  }
  static void GLAPIENTRY error(GLenum, void* user) { static_cast<TriangleSink*>(user)->failed = true; }
};

GlyphShape FontLibrary::makeShape(char32_t c) {
  GlyphShape shape;
  auto [f, index] = glyphOf(c);
  shape.found = f != nullptr;
  if (!f) f = primaryFace();  // index 0: the font's missing-glyph box
  if (!f) {
    shape.advance = 0.5f;
    return shape;
  }
  if (FT_Load_Glyph(f, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) {
    shape.advance = 0.5f;
    return shape;
  }
  const double em = f->units_per_EM > 0 ? f->units_per_EM : 1000;
  shape.advance = static_cast<float>(f->glyph->metrics.horiAdvance / em);
  if (f->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return shape;

  FT_Outline& outline = f->glyph->outline;
  Flattener flat;
  FT_Outline_Funcs funcs{};
  funcs.move_to = &Flattener::moveTo;
  funcs.line_to = &Flattener::lineTo;
  funcs.conic_to = &Flattener::conicTo;
  funcs.cubic_to = &Flattener::cubicTo;
  if (FT_Outline_Decompose(&outline, &funcs, &flat) != 0) return shape;

  GLUtesselator* tess = gluNewTess();
  if (!tess) return shape;
  TriangleSink sink{&shape.triangles, 1.0 / em, {}, false};
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::begin));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::edgeFlag));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::vertex));
  gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::end));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::combine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&TriangleSink::error));
  // TrueType and CFF outlines fill by the non-zero rule unless the outline says otherwise.
  const bool evenOdd = (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0;
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0, 0, 1);
  gluTessBeginPolygon(tess, &sink);
  for (auto& contour : flat.contours) {
    // The outline closes itself; a repeated first point would only be merged away.
    if (contour.size() > 1 && contour.front() == contour.back()) contour.pop_back();
    if (contour.size() < 3) continue;
    gluTessBeginContour(tess);
    for (auto& p : contour) gluTessVertex(tess, p.data(), p.data());
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  if (sink.failed) shape.triangles.clear();
  return shape;
}

}  // namespace

const GlyphShape& glyphShape(char32_t c) { return FontLibrary::get().shape(c); }

void emitGlyph(const GlyphShape& shape) {
  if (!shape.triangles.empty()) {
    glBegin(GL_TRIANGLES);
    for (std::size_t i = 0; i + 1 < shape.triangles.size(); i += 2)
      glVertex2f(shape.triangles[i], shape.triangles[i + 1]);
    glEnd();
  }
  glTranslatef(shape.advance, 0, 0);
}

}  // namespace viewer
