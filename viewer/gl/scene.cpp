#include "viewer/gl/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <exception>
#include <string>
#include <vector>

#include "viewer/gl/glyphs.h"

namespace viewer {
namespace {

// Curves are handed to GLU in homogeneous form with this weight. Its tessellator divides
// the weight out only where it measures the curve for sampling: the points it hands back
// are in control-point units, so the list draws them without scaling back.
constexpr double kCurveWeight = 2000;
// GLU samples a curve against the matrices current when it tessellates (auto-loaded), but
// a list's own transformation is only recorded, not current, during compilation. So each
// curve is tessellated as if it filled most of a view this many pixels wide: fine enough
// at any zoom that makes it a few hundred pixels across, and never culled.
constexpr int kCurveViewPixels = 1024;
constexpr double kCurveViewFill = 0.9;

bool spans(std::uint64_t first, std::uint64_t count, std::size_t size) { return first + count <= size; }

std::string kindName(OpKind kind) {
  switch (kind) {
    case OpKind::lineStrip: return "line strip";
    case OpKind::lineLoop: return "line loop";
    case OpKind::points: return "points";
    case OpKind::quad: return "quadrilateral";
    case OpKind::triangles: return "triangles";
    case OpKind::area: return "area";
    case OpKind::spline: return "curve";
    case OpKind::text: return "text";
    default: return "step";
  }
}

// A curve as GLU tessellated it: line strips around `centre`.
struct Curve {
  Vec3 centre;
  std::vector<std::vector<float>> strips;  // x, y, z per point
  bool ok = false;
};

// The GLU NURBS error callback carries no user data; compilation runs on one thread.
thread_local GLenum curveError = 0;
void GLAPIENTRY onCurveError(GLenum code) { curveError = code; }

void GLAPIENTRY onCurveBegin(GLenum, void* user) { static_cast<Curve*>(user)->strips.emplace_back(); }
void GLAPIENTRY onCurveVertex(GLfloat* v, void* user) {
  auto& strip = static_cast<Curve*>(user)->strips.back();
  strip.insert(strip.end(), v, v + 3);
}
void GLAPIENTRY onCurveEnd(void*) {}

void GLAPIENTRY onAreaBegin(GLenum type) { glBegin(type); }
void GLAPIENTRY onAreaVertex(void* v) { glVertex3dv(static_cast<const GLdouble*>(v)); }
void GLAPIENTRY onAreaEnd() { glEnd(); }

struct AreaState {
  std::deque<std::array<double, 3>> points;  // stable while the tessellator holds them
  GLenum error = 0;
};
void GLAPIENTRY onAreaCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
  auto* state = static_cast<AreaState*>(user);
  state->points.push_back({coords[0], coords[1], coords[2]});
  *out = state->points.back().data();
}
void GLAPIENTRY onAreaError(GLenum code, void* user) { static_cast<AreaState*>(user)->error = code; }

std::string gluText(GLenum code) {
  const auto* text = gluErrorString(code);
  return text ? reinterpret_cast<const char*>(text) : "error " + std::to_string(code);
}

// What the lists of one compile share: the tessellators, made when first needed, and the
// notes of faults.
class Compiler {
 public:
  explicit Compiler(std::vector<std::string>& notes) : notes_(notes) {}
  Compiler(const Compiler&) = delete;
  Compiler& operator=(const Compiler&) = delete;
  ~Compiler() {
    if (nurbs_) {
      gluDeleteNurbsRenderer(nurbs_);
      glPopAttrib();
      glMatrixMode(GL_PROJECTION);
      glPopMatrix();
      glMatrixMode(GL_MODELVIEW);
      glPopMatrix();
      glPopAttrib();
    }
    if (tess_) gluDeleteTess(tess_);
  }

  struct Range {
    GLuint base = 0;
    std::size_t count = 0;
  };
  // Compiles `p` into `list`; its text and block steps call into `glyphs` and `blocks`.
  void program(const Program& p, GLuint list, const Range& glyphs, const Range& blocks);

 private:
  void steps(const Program& p, const std::vector<Curve>& curves, const Range& glyphs, const Range& blocks);
  Curve curve(const Program& p, const Op& op);
  void area(const Program& p, const Op& op);
  void note(const Op& op, const std::string& what) { notes_.push_back(kindName(op.kind) + " not drawn: " + what); }

  std::vector<std::string>& notes_;
  GLUnurbsObj* nurbs_ = nullptr;
  GLUtesselator* tess_ = nullptr;
  AreaState areaState_;
};

Curve Compiler::curve(const Program& p, const Op& op) {
  Curve c;
  if (!spans(op.first, op.count, p.vertices.size()) || !spans(op.first2, op.count2, p.knots.size())) {
    note(op, "its points or knots lie outside the drawing's data");
    return c;
  }
  if (!nurbs_) {
    // The matrices GLU loads for each curve are set here, outside any list, and put back
    // when the compile ends.
    glPushAttrib(GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, kCurveViewPixels, kCurveViewPixels);
    nurbs_ = gluNewNurbsRenderer();
    gluNurbsProperty(nurbs_, GLU_NURBS_MODE, GLU_NURBS_TESSELLATOR);
    gluNurbsProperty(nurbs_, GLU_SAMPLING_METHOD, GLU_PATH_LENGTH);
    gluNurbsProperty(nurbs_, GLU_SAMPLING_TOLERANCE, 10);
    gluNurbsProperty(nurbs_, GLU_PARAMETRIC_TOLERANCE, 0.5);
    gluNurbsProperty(nurbs_, GLU_CULLING, GL_TRUE);
    gluNurbsProperty(nurbs_, GLU_AUTO_LOAD_MATRIX, GL_TRUE);
    gluNurbsCallback(nurbs_, GLU_NURBS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&onCurveBegin));
    gluNurbsCallback(nurbs_, GLU_NURBS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&onCurveVertex));
    gluNurbsCallback(nurbs_, GLU_NURBS_END_DATA, reinterpret_cast<_GLUfuncptr>(&onCurveEnd));
    gluNurbsCallback(nurbs_, GLU_NURBS_ERROR, reinterpret_cast<_GLUfuncptr>(&onCurveError));
  }
  // Around the middle of its box, so the floats GLU works in keep their precision.
  Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
  for (std::uint32_t i = 0; i < op.count; ++i) {
    const Vec3& v = p.vertices[op.first + i];
    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
  }
  c.centre = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
  const double half = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}) / 2;
  std::vector<GLfloat> control;
  control.reserve(std::size_t(op.count) * 4);
  for (std::uint32_t i = 0; i < op.count; ++i) {
    const Vec3& v = p.vertices[op.first + i];
    control.insert(control.end(), {GLfloat(v.x - c.centre.x), GLfloat(v.y - c.centre.y), GLfloat(v.z - c.centre.z),
                                   GLfloat(kCurveWeight)});
  }
  std::vector<GLfloat> knots(p.knots.begin() + op.first2, p.knots.begin() + op.first2 + op.count2);
  const double k = half > 0 ? kCurveViewFill * kCurveWeight / half : 1;
  const GLdouble fit[16] = {k, 0, 0, 0, 0, k, 0, 0, 0, 0, k, 0, 0, 0, 0, 1};
  glLoadMatrixd(fit);

  curveError = 0;
  gluNurbsCallbackData(nurbs_, &c);
  gluBeginCurve(nurbs_);
  gluNurbsCurve(nurbs_, GLint(knots.size()), knots.data(), 4, control.data(), 4, GL_MAP1_VERTEX_4);
  gluEndCurve(nurbs_);
  if (curveError != 0) {
    note(op, gluText(curveError));
    c.strips.clear();
    return c;
  }
  c.ok = true;
  return c;
}

void Compiler::area(const Program& p, const Op& op) {
  if (!spans(op.first, op.count, p.contours.size())) {
    note(op, "its contours lie outside the drawing's data");
    return;
  }
  for (std::uint32_t i = 0; i < op.count; ++i) {
    const Span& s = p.contours[op.first + i];
    if (!spans(s.first, s.count, p.vertices.size())) {
      note(op, "a contour lies outside the drawing's data");
      return;
    }
  }
  if (!tess_) {
    tess_ = gluNewTess();
    gluTessCallback(tess_, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&onAreaBegin));
    gluTessCallback(tess_, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&onAreaVertex));
    gluTessCallback(tess_, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&onAreaEnd));
    gluTessCallback(tess_, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&onAreaCombine));
    gluTessCallback(tess_, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&onAreaError));
    gluTessProperty(tess_, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  }
  areaState_.points.clear();
  areaState_.error = 0;
  gluTessBeginPolygon(tess_, &areaState_);
  for (std::uint32_t i = 0; i < op.count; ++i) {
    const Span& s = p.contours[op.first + i];
    gluTessBeginContour(tess_);
    for (std::uint32_t j = 0; j < s.count; ++j) {
      const Vec3& v = p.vertices[s.first + j];
      areaState_.points.push_back({v.x, v.y, v.z});
      gluTessVertex(tess_, areaState_.points.back().data(), areaState_.points.back().data());
    }
    gluTessEndContour(tess_);
  }
  gluTessEndPolygon(tess_);
  if (areaState_.error != 0) note(op, gluText(areaState_.error));
}

void Compiler::program(const Program& p, GLuint list, const Range& glyphs, const Range& blocks) {
  // Curves first: tessellating one sets matrices, which inside a list would be recorded.
  std::vector<Curve> curves;
  for (const Op& op : p.ops)
    if (op.kind == OpKind::spline) curves.push_back(curve(p, op));

  glNewList(list, GL_COMPILE);
  try {
    steps(p, curves, glyphs, blocks);
  } catch (...) {
    glEndList();
    throw;
  }
  glEndList();
}

void Compiler::steps(const Program& p, const std::vector<Curve>& curves, const Range& glyphs, const Range& blocks) {
  auto nextCurve = curves.begin();
  for (const Op& op : p.ops) {
    switch (op.kind) {
      case OpKind::push: glPushMatrix(); break;
      case OpKind::pop: glPopMatrix(); break;
      case OpKind::translate: glTranslated(op.x, op.y, op.z); break;
      case OpKind::scale: glScaled(op.x, op.y, op.z); break;
      case OpKind::rotate: glRotated(op.w, op.x, op.y, op.z); break;
      case OpKind::colour: glColor3d(op.x, op.y, op.z); break;
      case OpKind::points:
      case OpKind::lineStrip:
      case OpKind::lineLoop:
      case OpKind::triangles:
      case OpKind::quad: {
        const std::uint32_t count = op.kind == OpKind::quad ? 4 : op.count;
        if (!spans(op.first, count, p.vertices.size())) {
          note(op, "its points lie outside the drawing's data");
          break;
        }
        const GLenum mode = op.kind == OpKind::points     ? GL_POINTS
                            : op.kind == OpKind::lineStrip  ? GL_LINE_STRIP
                            : op.kind == OpKind::lineLoop ? GL_LINE_LOOP
                            : op.kind == OpKind::quad     ? GL_QUADS
                                                          : GL_TRIANGLES;
        glBegin(mode);
        const Vec3* v = p.vertices.data() + op.first;
        for (std::uint32_t i = 0; i < count; ++i) glVertex3dv(&v[i].x);
        glEnd();
        break;
      }
      case OpKind::area: area(p, op); break;
      case OpKind::spline: {
        const Curve& c = *nextCurve++;
        if (!c.ok) break;
        glPushMatrix();
        glTranslated(c.centre.x, c.centre.y, c.centre.z);
        for (const auto& strip : c.strips) {
          glBegin(GL_LINE_STRIP);
          for (std::size_t i = 0; i + 2 < strip.size(); i += 3) glVertex3fv(&strip[i]);
          glEnd();
        }
        glPopMatrix();
        break;
      }
      case OpKind::text:
        if (!spans(op.first, op.count, p.text.size())) {
          note(op, "its characters lie outside the drawing's data");
          break;
        }
        glPushMatrix();
        for (std::uint32_t i = 0; i < op.count; ++i) {
          const std::uint32_t glyph = p.text[op.first + i];
          if (glyph < glyphs.count) glCallList(glyphs.base + glyph);
        }
        glPopMatrix();
        break;
      case OpKind::callBlock:
        if (op.first < blocks.count) glCallList(blocks.base + op.first);
        break;
    }
  }
}

}  // namespace

bool GlScene::compile(const Drawing& drawing, const Program& pointSymbol) {
  release();
  notes_.clear();
  try {
    const std::size_t total = 2 + drawing.blocks.size() + drawing.glyphs.size();
    // Every name first, so a list may call one compiled after it.
    const GLuint base = glGenLists(static_cast<GLsizei>(total));
    if (base == 0) {
      notes_.push_back("OpenGL gave no display lists");
      return false;
    }
    base_ = base;
    count_ = static_cast<int>(total);
    blockCount_ = drawing.blocks.size();
    glyphCount_ = drawing.glyphs.size();

    for (std::size_t i = 0; i < glyphCount_; ++i) {
      const GlyphShape& shape = glyphShape(drawing.glyphs[i]);
      glNewList(glyphList(i), GL_COMPILE);
      emitGlyph(shape);
      glEndList();
    }
    Compiler compiler(notes_);
    const Compiler::Range glyphs{glyphList(0), glyphCount_}, blocks{blockList(0), blockCount_};
    for (std::size_t i = 0; i < blockCount_; ++i) {
      const Block& b = drawing.blocks[i];
      // A block that is not compiled still has its (empty) list, so inserting it draws nothing.
      compiler.program(b.compiled ? b.program : Program{}, blockList(i), glyphs, blocks);
    }
    compiler.program(drawing.modelSpace, modelList(), glyphs, blocks);
    compiler.program(pointSymbol, symbolList(), glyphs, blocks);
  } catch (const std::exception& e) {
    notes_.push_back(std::string("compilation stopped: ") + e.what());
    release();
    return false;
  }
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    if (e == GL_OUT_OF_MEMORY) {
      notes_.push_back("OpenGL ran out of memory for the display lists");
      release();
      return false;
    }
  }
  return true;
}

void GlScene::compilePointSymbol(const Program& pointSymbol) {
  if (empty()) return;
  try {
    Compiler compiler(notes_);
    compiler.program(pointSymbol, symbolList(), {glyphList(0), glyphCount_}, {blockList(0), blockCount_});
  } catch (const std::exception& e) {
    notes_.push_back(std::string("point symbol not compiled: ") + e.what());
  }
}

void GlScene::release() {
  if (count_ > 0) glDeleteLists(base_, count_);
  base_ = 0;
  count_ = 0;
  blockCount_ = glyphCount_ = 0;
}

void GlScene::callModelSpace() const {
  if (!empty()) glCallList(modelList());
}

void GlScene::callBlock(int index) const {
  if (!empty() && index >= 0 && static_cast<std::size_t>(index) < blockCount_) glCallList(blockList(index));
}

void GlScene::callPointSymbol() const {
  if (!empty()) glCallList(symbolList());
}

}  // namespace viewer
