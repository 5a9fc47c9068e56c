// One entity into a program: the transformation saved around it, its colour, the rotation
// of its extrusion direction, and its geometry as the kind draws it.
#include <algorithm>
#include <cmath>

#include "platform/text.h"
#include "viewer/dxf/load_state.h"

namespace viewer::detail {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
// How far XLINE and RAY reach.
constexpr double kFar = 1e10;

Rgb rgbOfBgr(std::uint32_t bgr) {
  return {static_cast<float>(bgr & 0xFFu) / 255.0f, static_cast<float>((bgr >> 8) & 0xFFu) / 255.0f,
          static_cast<float>((bgr >> 16) & 0xFFu) / 255.0f};
}

// Group 420 is 0x00RRGGBB.
Rgb rgbOfTrueColour(long long value) {
  const auto v = static_cast<std::uint32_t>(value) & 0xFFFFFFu;
  return rgbOfBgr(((v & 0xFFu) << 16) | (v & 0xFF00u) | (v >> 16));
}

std::uint32_t bgrOf(Rgb c) {
  auto byte = [](float f) { return static_cast<std::uint32_t>(std::lround(std::clamp(f, 0.0f, 1.0f) * 255)); };
  return byte(c.r) | byte(c.g) << 8 | byte(c.b) << 16;
}

Vec3 add(Vec3 a, Vec3 b, double scale = 1) { return {a.x + scale * b.x, a.y + scale * b.y, a.z + scale * b.z}; }
bool same(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Ops added to a program by one entity; `discard` takes them back when it drew nothing.
class Emitter {
 public:
  explicit Emitter(Program& p)
      : p_(p),
        ops_(p.ops.size()),
        vertices_(p.vertices.size()),
        contours_(p.contours.size()),
        knots_(p.knots.size()),
        text_(p.text.size()) {}

  void op(OpKind kind, double x = 0, double y = 0, double z = 0, double w = 0) {
    Op o{kind};
    o.x = x;
    o.y = y;
    o.z = z;
    o.w = w;
    p_.ops.push_back(o);
  }
  // A primitive over vertices: lineStrip, lineLoop, quad, triangles, spline.
  Op& vertices(OpKind kind, const Vec3* points, std::size_t count) {
    Op o{kind};
    o.first = static_cast<std::uint32_t>(p_.vertices.size());
    o.count = static_cast<std::uint32_t>(count);
    p_.vertices.insert(p_.vertices.end(), points, points + count);
    p_.ops.push_back(o);
    return p_.ops.back();
  }
  Op& vertices(OpKind kind, const std::vector<Vec3>& points) { return vertices(kind, points.data(), points.size()); }

  Program& program() { return p_; }
  std::uint32_t firstOp() const { return static_cast<std::uint32_t>(ops_); }

  void discard() {
    p_.ops.resize(ops_);
    p_.vertices.resize(vertices_);
    p_.contours.resize(contours_);
    p_.knots.resize(knots_);
    p_.text.resize(text_);
  }

 private:
  Program& p_;
  std::size_t ops_, vertices_, contours_, knots_, text_;
};

class EntityDrawer {
 public:
  EntityDrawer(LoadState& s, const EntityRecord& e) : s_(s), e_(e) {}

  Vec3 point(int code) { return {s_.real(e_, code, 0), s_.real(e_, code + 10, 0), s_.real(e_, code + 20, 0)}; }
  double real(int code, double fallback = 0) { return s_.real(e_, code, fallback); }
  long long whole(int code, long long fallback = 0) { return s_.whole(e_, code, fallback); }

  Rgb colour() {
    const int nameAt = e_.last(8);
    const std::string_view name = nameAt < 0 ? std::string_view("0") : e_.value(static_cast<std::size_t>(nameAt));
    Rgb c{};  // a layer the table does not hold draws black
    const int layer = s_.layerOf(name);
    if (layer >= 0)
      c = s_.drawing.layers[static_cast<std::size_t>(layer)].colour;
    else
      s_.note("画層「" + s_.text.decode(name) + "」は画層テーブルにないため黒で描きます");
    if (!e_.has(62)) return c;
    const long long index = whole(62);
    if (e_.has(420)) return rgbOfTrueColour(whole(420));
    if (index >= 0 && index <= 255) return rgbOfBgr(kColourTable[static_cast<std::size_t>(index)]);
    // 256 is "by layer"; any other value names no colour and the layer's stands.
    if (index != 256) s_.note("色番号 " + std::to_string(index) + " は範囲外のため画層の色で描きます");
    return c;
  }

  // Rotation of the plane of the entity: by the angle between z and the extrusion direction
  // about z × N, when N leans away from z.
  void extrusion(Emitter& out) {
    const Vec3 n{real(210, 0), real(220, 0), real(230, 1)};
    if (n.x == 0 && n.y == 0) return;
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    const double angle = std::acos(std::clamp(n.z / length, -1.0, 1.0)) / kDegree;
    out.op(OpKind::rotate, -n.y, n.x, 0, angle);
  }

  bool line(Emitter& out) {
    const Vec3 v[] = {point(10), point(11)};
    out.vertices(OpKind::lineStrip, v, 2);
    return true;
  }

  bool polyline(Emitter& out, const std::vector<Vec3>& vertices) {
    if (vertices.size() < 2) return false;
    out.vertices(whole(70) & 1 ? OpKind::lineLoop : OpKind::lineStrip, vertices);
    return true;
  }

  // Vertices by fixed positions from the first group 10: vertex k has its 10 at pair 2k and
  // its 20 at pair 2k + 1; another code at such a position keeps the coordinate as it was.
  bool lwpolyline(Emitter& out) {
    const long long declared = whole(90, 0);
    const double z = real(43, 1);
    const bool closed = whole(70, 0) != 0;
    std::size_t first = 0;
    while (first < e_.pairs.size() && e_.pairs[first].code != 10) ++first;
    if (declared <= 0 || first == e_.pairs.size()) return false;
    // Vertices past the pairs would all repeat the last one: they add nothing to the line.
    const std::size_t available = (e_.pairs.size() - first + 1) / 2;
    const std::size_t count = std::min(static_cast<std::size_t>(declared), available);
    points_.clear();
    double x = 0, y = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t i = first + 2 * k;
      if (e_.pairs[i].code == 10) s_.real(e_.value(i), e_.pairs[i].line, 10, x);
      if (i + 1 < e_.pairs.size() && e_.pairs[i + 1].code == 20) s_.real(e_.value(i + 1), e_.pairs[i + 1].line, 20, y);
      points_.push_back({x, y, z});
    }
    if (points_.size() < 2) return false;
    out.vertices(closed ? OpKind::lineLoop : OpKind::lineStrip, points_);
    return true;
  }

  // A cubic curve: the knots must number the control points + 4.
  bool spline(Emitter& out) {
    points_.clear();
    std::vector<double> knots;
    for (std::size_t i = 0; i < e_.pairs.size(); ++i) {
      const int code = e_.pairs[i].code;
      if (code != 10 && code != 20 && code != 30 && code != 40) continue;
      double v = 0;
      s_.real(e_.value(i), e_.pairs[i].line, code, v);
      if (code == 10) points_.push_back({v, 0, 0});
      if (code == 20 && !points_.empty()) points_.back().y = v;
      if (code == 30 && !points_.empty()) points_.back().z = v;
      if (code == 40) knots.push_back(v);
    }
    const long long declared = whole(72, 0);
    if (declared >= 0 && static_cast<std::size_t>(declared) < knots.size())
      knots.resize(static_cast<std::size_t>(declared));
    if (points_.size() < 4 || knots.size() != points_.size() + 4) {
      s_.note("SPLINE のノット数が制御点の数 + 4 でないため描きません");
      return false;
    }
    Op& o = out.vertices(OpKind::spline, points_);
    auto& p = out.program();
    o.first2 = static_cast<std::uint32_t>(p.knots.size());
    o.count2 = static_cast<std::uint32_t>(knots.size());
    p.knots.insert(p.knots.end(), knots.begin(), knots.end());
    return true;
  }

  bool xline(Emitter& out, bool bothWays) {
    const Vec3 base = point(10), direction = point(11);
    const Vec3 v[] = {bothWays ? add(base, direction, -kFar) : base, add(base, direction, kFar)};
    out.vertices(OpKind::lineStrip, v, 2);
    return true;
  }

  bool circle(Emitter& out) {
    const Vec3 c = point(10);
    const double r = real(40);
    points_.clear();
    for (int i = 0; i < 32; ++i)
      points_.push_back({c.x + r * std::sin(i * kPi / 16), c.y + r * std::cos(i * kPi / 16), c.z});
    out.vertices(OpKind::lineLoop, points_);
    return true;
  }

  // Counterclockwise from 50 to 51; an end below the start passes through 0°.
  bool arc(Emitter& out) {
    const Vec3 c = point(10);
    const double r = real(40);
    const double start = real(50);
    double end = real(51);
    if (end < start) end += 360;
    points_.clear();
    for (int i = 0; i <= 32; ++i) {
      const double a = (start + (end - start) * i / 32) * kDegree;
      points_.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a), c.z});
    }
    out.vertices(OpKind::lineStrip, points_);
    return true;
  }

  // In the plane of the extrusion direction N: the minor axis is N × major, times the ratio.
  // Counterclockwise from 41 to 42, an end below the start passing through 0.
  bool ellipse(Emitter& out) {
    const Vec3 c = point(10), major = point(11);
    const double ratio = real(40);
    const double start = real(41, 1);
    double end = real(42, 1);
    if (end < start) end += 2 * kPi;
    Vec3 n{real(210, 0), real(220, 0), real(230, 1)};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    n = length > 0 ? Vec3{n.x / length, n.y / length, n.z / length} : Vec3{0, 0, 1};
    const Vec3 minor{ratio * (n.y * major.z - n.z * major.y), ratio * (n.z * major.x - n.x * major.z),
                     ratio * (n.x * major.y - n.y * major.x)};
    points_.clear();
    for (int i = 0; i <= 32; ++i) {
      const double t = start + (end - start) * i / 32;
      points_.push_back(add(add(c, major, std::cos(t)), minor, std::sin(t)));
    }
    out.vertices(OpKind::lineStrip, points_);
    return true;
  }

  bool solid(Emitter& out) {
    const Vec3 v[] = {point(10), point(11), point(13), point(12)};
    out.vertices(OpKind::quad, v, 4);
    return true;
  }

  bool face(Emitter& out) {
    const Vec3 a = point(10), b = point(11), c = point(12), d = point(13);
    const Vec3 v[] = {a, b, c, c, d, a};
    out.vertices(OpKind::triangles, v, same(d, c) ? 3 : 6);
    return true;
  }

  bool text(Emitter& out, bool mtext) {
    const int at = e_.last(1);
    if (at < 0 || e_.value(static_cast<std::size_t>(at)).empty()) return false;
    const std::string decoded = s_.text.decode(e_.value(static_cast<std::size_t>(at)));
    const Vec3 p = point(10);
    const double height = real(40);
    if (mtext) {
      const Vec3 direction = point(11);
      out.op(OpKind::translate, p.x, p.y - height, p.z);
      out.op(OpKind::scale, height, height, height);
      out.op(OpKind::rotate, 0, 0, 1, std::atan2(direction.y, direction.x) / kDegree);
    } else {
      out.op(OpKind::translate, p.x, p.y, p.z);
      out.op(OpKind::scale, height, height, height);
      out.op(OpKind::rotate, 0, 0, 1, real(50));
    }
    auto& program = out.program();
    Op o{OpKind::text};
    if (!mtext) alignment(o, p, height);
    o.first = static_cast<std::uint32_t>(program.text.size());
    s_.glyphIndices(mtext ? mtextShown(decoded) : std::string_view(decoded), program.text);
    o.count = static_cast<std::uint32_t>(program.text.size() - o.first);
    if (o.count == 0) return false;
    program.ops.push_back(o);
    return true;
  }

  // The screen draws every TEXT from its first point; the alignment is kept for print, with
  // the alignment point taken into the text's own frame (moved, scaled and turned as above).
  void alignment(Op& o, Vec3 first, double height) {
    const long long horizontal = whole(72), vertical = whole(73);
    o.first2 = horizontal >= 0 && horizontal <= 5 ? static_cast<std::uint32_t>(horizontal) : 0;
    o.count2 = vertical >= 0 && vertical <= 3 ? static_cast<std::uint32_t>(vertical) : 0;
    if ((o.first2 == 0 && o.count2 == 0) || height == 0 || !e_.has(11)) return;
    const Vec3 a = point(11);
    const double angle = real(50) * kDegree, c = std::cos(angle), s = std::sin(angle);
    const double dx = (a.x - first.x) / height, dy = (a.y - first.y) / height;
    o.x = c * dx + s * dy;
    o.y = c * dy - s * dx;
    o.z = (a.z - first.z) / height;
  }

  // The call waits for its block: blocks are looked up once the whole file is read.
  bool insert(Emitter& out, int owner, PendingCall& call) {
    const Vec3 p = point(10);
    out.op(OpKind::translate, p.x, p.y, p.z);
    out.op(OpKind::scale, real(41, 1), real(42, 1), real(43, 1));
    out.op(OpKind::rotate, 0, 0, 1, real(50));
    call.op = static_cast<std::uint32_t>(out.program().ops.size());
    out.op(OpKind::callBlock);
    call.owner = owner;
    call.generation = s_.generation(owner);
    call.name = s_.decoded(e_, 2);
    return true;
  }

  // Contours from the pairs before the first 75: 93 begins one, 10/20/30 set the next
  // vertex, 21 emits it (a line edge gives its start point), 97 ends the contour.
  bool hatch(Emitter& out) {
    auto& p = out.program();
    const auto firstContour = static_cast<std::uint32_t>(p.contours.size());
    Vec3 v{};
    bool open = false;
    Span contour;
    auto end = [&] {
      // Fewer than three vertices enclose nothing.
      if (open && contour.count >= 3)
        p.contours.push_back(contour);
      else if (open)
        p.vertices.resize(contour.first);
      open = false;
    };
    for (std::size_t i = 0; i < e_.pairs.size(); ++i) {
      const int code = e_.pairs[i].code;
      if (code == 75) break;
      switch (code) {
        case 93:
          end();
          open = true;
          contour = {static_cast<std::uint32_t>(p.vertices.size()), 0};
          break;
        case 97: end(); break;
        case 10: s_.real(e_.value(i), e_.pairs[i].line, code, v.x); break;
        case 20: s_.real(e_.value(i), e_.pairs[i].line, code, v.y); break;
        case 30: s_.real(e_.value(i), e_.pairs[i].line, code, v.z); break;
        case 21:
          if (open) {
            p.vertices.push_back(v);
            ++contour.count;
          }
          break;
        default: break;
      }
    }
    end();
    const auto count = static_cast<std::uint32_t>(p.contours.size()) - firstContour;
    if (count == 0) return false;
    Op o{OpKind::area};
    o.first = firstContour;
    o.count = count;
    p.ops.push_back(o);
    return true;
  }

  void addPoint() { s_.drawing.points.push_back({point(10), bgrOf(colour())}); }

 private:
  LoadState& s_;
  const EntityRecord& e_;
  std::vector<Vec3> points_;
};

}  // namespace

void drawEntity(LoadState& state, const EntityRecord& e, const std::vector<Vec3>& vertices, const Target& target) {
  const Kind kind = kindOf(e.type);
  if (kind == Kind::other || kind == Kind::mline) return;
  EntityDrawer d(state, e);
  if (kind == Kind::point) {
    if (target.points) d.addPoint();
    return;
  }
  Emitter out(state.program(target.owner));
  out.op(OpKind::push);
  if (target.withColour) {
    const Rgb c = d.colour();
    out.op(OpKind::colour, c.r, c.g, c.b);
  }
  if (kind != Kind::ellipse && kind != Kind::hatch) d.extrusion(out);
  PendingCall call{};
  bool drew = false;
  switch (kind) {
    case Kind::line: drew = d.line(out); break;
    case Kind::polyline: drew = d.polyline(out, vertices); break;
    case Kind::lwpolyline: drew = d.lwpolyline(out); break;
    case Kind::spline: drew = d.spline(out); break;
    case Kind::xline: drew = d.xline(out, true); break;
    case Kind::ray: drew = d.xline(out, false); break;
    case Kind::circle: drew = d.circle(out); break;
    case Kind::arc: drew = d.arc(out); break;
    case Kind::ellipse: drew = d.ellipse(out); break;
    case Kind::solid: drew = d.solid(out); break;
    case Kind::text: drew = d.text(out, false); break;
    case Kind::mtext: drew = d.text(out, true); break;
    case Kind::insert: drew = d.insert(out, target.owner, call); break;
    case Kind::hatch: drew = d.hatch(out); break;
    case Kind::face3d: drew = d.face(out); break;
    default: break;
  }
  if (!drew || state.failed()) {
    out.discard();
    return;
  }
  out.op(OpKind::pop);
  if (kind == Kind::insert) {
    call.begin = out.firstOp();
    call.end = static_cast<std::uint32_t>(state.program(target.owner).ops.size());
    state.calls.push_back(std::move(call));
  }
}

}  // namespace viewer::detail
