#include "viewer/draw/view.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "viewer/draw/matrix.h"

namespace viewer {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kBlack{0, 0, 0};

Rgb colourOf(std::uint32_t bgr) {
  return {static_cast<float>(bgr & 0xFF) / 255.0f, static_cast<float>((bgr >> 8) & 0xFF) / 255.0f,
          static_cast<float>((bgr >> 16) & 0xFF) / 255.0f};
}

// Looks along the view direction towards the origin, turned by the twist (and the orbit)
// and moved to the target.
void camera(const ViewRecord& v, double orbitAngle, Backend& out) {
  const Vec3 d = v.direction;
  const bool vertical = d.x == 0 && d.y == 0;
  out.lookAt(d, {0, 0, 0}, vertical ? Vec3{0, 1, 0} : Vec3{0, 0, 1});
  out.rotate(v.twist, d);
  out.rotate(orbitAngle, {0, 0, 1});
  out.translate({-v.target.x, -v.target.y, -v.target.z});
}

void points(const Drawing& drawing, double scaleForNegative, Backend& out) {
  for (const auto& p : drawing.points) {
    out.push();
    out.colour(colourOf(p.colour));
    out.translate(p.position);
    out.scale(drawing.pointSize > 0 ? drawing.pointSize : scaleForNegative);
    out.callPointSymbol();
    out.pop();
  }
}

int paperViewOf(const Drawing& drawing, const Layout& layout) {
  for (std::size_t i = 0; i < drawing.views.size(); ++i)
    if (drawing.views[i].owner == layout.blockRecord) return static_cast<int>(i);
  return -1;
}

void modelFrame(Drawing& drawing, int W, int H, double orbitAngle, bool exportFrame, Backend& out) {
  auto& v = drawing.views[0];
  out.identity();
  out.clear({1, 1, 1});
  out.viewport(2, 0, W - 2, H);
  v.width = (W - 2) * v.height / H;
  out.ortho(v.viewCentreX - v.width / 2, v.viewCentreX + v.width / 2, v.viewCentreY - v.height / 2,
            v.viewCentreY + v.height / 2, -999999999, 999999999);
  out.identity();
  camera(v, orbitAngle, out);
  out.lineWidth(1);
  out.stipple(false, 1, 0xFFFF);
  out.colour(kBlack);
  out.callModelSpace();
  if (exportFrame) {
    // Around the visible window, in projection units; half of its width lies outside.
    out.push();
    out.identity();
    out.colour({1, 1, 0});
    out.lineWidth(6);
    const double l = v.viewCentreX - v.width / 2, r = v.viewCentreX + v.width / 2;
    const double b = v.viewCentreY - v.height / 2, t = v.viewCentreY + v.height / 2;
    const std::array<Vec3, 4> frame = {Vec3{l, b, 0}, Vec3{r, b, 0}, Vec3{r, t, 0}, Vec3{l, t, 0}};
    out.lineLoop(frame);
    out.lineWidth(1);
    out.pop();
  }
  // A negative size is a share of the view height: -5 makes a unit symbol 5 % as high.
  points(drawing, -v.height * drawing.pointSize / 200, out);
  out.finish();
}

FrameResult layoutFrame(Drawing& drawing, int tab, int W, int H, Backend& out) {
  const auto& layout = drawing.layouts[static_cast<std::size_t>(tab)];
  const int paperIndex = paperViewOf(drawing, layout);
  if (paperIndex < 0) return FrameResult::noPaperView;
  auto& P = drawing.views[static_cast<std::size_t>(paperIndex)];
  constexpr double kDepth = 999999999999999;
  out.clear({0.8f, 0.8f, 0.8f});
  out.identity();
  out.viewport(1, 0, W - 2, H);
  P.width = (W - 2) * P.height / H;
  out.ortho(P.viewCentreX - P.width / 2, P.viewCentreX + P.width / 2, P.viewCentreY - P.height / 2,
            P.viewCentreY + P.height / 2, -kDepth, kDepth);
  out.identity();

  // The paper, then its printable area dashed.
  out.colour({1, 1, 1});
  out.filledRectangle(layout.limitsMinX, layout.limitsMinY, layout.limitsMaxX, layout.limitsMaxY);
  if (out.paperAids()) {
    out.colour(kBlack);
    const std::array<Vec3, 4> paper = {
        Vec3{layout.limitsMinX, layout.limitsMinY, 0}, Vec3{layout.limitsMaxX, layout.limitsMinY, 0},
        Vec3{layout.limitsMaxX, layout.limitsMaxY, 0}, Vec3{layout.limitsMinX, layout.limitsMaxY, 0}};
    out.lineLoop(paper);
    const double s = layout.scaleFactor != 0 ? layout.scaleFactor : 1;
    const double right = layout.limitsMaxX - layout.margin41 / s, top = layout.limitsMaxY - layout.margin42 / s;
    out.stipple(true, 1, 0xFF0F);
    out.colour({0.3f, 0, 0.5f});
    const std::array<Vec3, 4> printable = {Vec3{0, 0, 0}, Vec3{0, top, 0}, Vec3{right, top, 0}, Vec3{right, 0, 0}};
    out.lineLoop(printable);
    out.stipple(false, 1, 0xFFFF);
  }

  const int paperBlock = drawing.blockOfOwner(layout.blockRecord);
  if (paperBlock >= 0) out.callBlock(paperBlock);

  // The model through each viewport of the layout.
  for (std::size_t i = 0; i < drawing.views.size(); ++i) {
    if (static_cast<int>(i) == paperIndex || drawing.views[i].owner != layout.blockRecord) continue;
    const auto& v = drawing.views[i];
    if (!(v.width > 0) || !(v.height > 0) || !(v.viewHeight > 0)) continue;
    out.identity();
    const auto px = static_cast<int>(((v.centreX - v.width / 2 - P.viewCentreX + P.width / 2) / P.width) * (W - 2) + 2);
    const auto py = static_cast<int>(((v.centreY - v.height / 2 - P.viewCentreY + P.height / 2) / P.height) * H);
    const auto pw = static_cast<int>(v.width / P.width * (W - 2));
    const auto ph = static_cast<int>(v.height / P.height * H);
    out.viewport(px, py, pw, ph);
    const double h = v.viewHeight, w = v.viewHeight * v.width / v.height;
    out.ortho(v.viewCentreX - w / 2, v.viewCentreX + w / 2, v.viewCentreY - h / 2, v.viewCentreY + h / 2, -kDepth,
              kDepth);
    out.identity();
    // Just inside the viewport, so the frame is not clipped away.
    const double fx = w / 2.000001, fy = h / 2.0000001;
    out.colour(kBlack);
    const std::array<Vec3, 4> frame = {
        Vec3{v.viewCentreX - fx, v.viewCentreY - fy, 0}, Vec3{v.viewCentreX + fx, v.viewCentreY - fy, 0},
        Vec3{v.viewCentreX + fx, v.viewCentreY + fy, 0}, Vec3{v.viewCentreX - fx, v.viewCentreY + fy, 0}};
    out.lineLoop(frame);
    camera(v, 0, out);
    out.colour(kBlack);
    out.callModelSpace();
    const double paperViewHeight = P.viewHeight != 0 ? P.viewHeight : P.height;
    points(drawing, -(v.viewHeight / v.height) * P.height / paperViewHeight * drawing.pointSize, out);
  }
  out.finish();
  return FrameResult::drawn;
}

// Extents of what a program draws, through its transformations and block calls.
class Extents {
 public:
  explicit Extents(const Drawing& d) : d_(d) {}
  void walk(const Program& p, const Matrix& m, int depth) {
    if (depth > 32) return;
    std::vector<Matrix> stack;
    auto t = m;
    for (const auto& op : p.ops) {
      switch (op.kind) {
        case OpKind::push: stack.push_back(t); break;
        case OpKind::pop:
          if (!stack.empty()) {
            t = stack.back();
            stack.pop_back();
          }
          break;
        case OpKind::translate: t = times(t, translation({op.x, op.y, op.z})); break;
        case OpKind::scale: t = times(t, scaling(op.x, op.y, op.z)); break;
        case OpKind::rotate: t = times(t, rotation(op.w, {op.x, op.y, op.z})); break;
        case OpKind::points:
        case OpKind::lineStrip:
        case OpKind::lineLoop:
        case OpKind::quad:
        case OpKind::triangles:
        case OpKind::spline:
          for (std::uint32_t k = 0; k < op.count && op.first + k < p.vertices.size(); ++k)
            add(t, p.vertices[op.first + k]);
          break;
        case OpKind::area:
          for (std::uint32_t c = 0; c < op.count && op.first + c < p.contours.size(); ++c) {
            const auto& span = p.contours[op.first + c];
            for (std::uint32_t k = 0; k < span.count && span.first + k < p.vertices.size(); ++k)
              add(t, p.vertices[span.first + k]);
          }
          break;
        case OpKind::text: add(t, {0, 0, 0}); break;
        case OpKind::callBlock:
          if (op.first < d_.blocks.size()) walk(d_.blocks[op.first].program, t, depth + 1);
          break;
        case OpKind::colour: break;
      }
    }
  }
  void add(const Matrix& m, Vec3 v) {
    const double x = m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12];
    const double y = m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13];
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 1e9 * 1e3 || std::fabs(y) > 1e12) return;
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  bool empty() const { return minX > maxX; }
  double minX = 1e308, maxX = -1e308, minY = 1e308, maxY = -1e308;

 private:
  const Drawing& d_;
};

}  // namespace

Program pointSymbol(int mode) {
  Program p;
  auto segment = [&p](Vec3 a, Vec3 b) {
    p.ops.push_back({OpKind::lineStrip, static_cast<std::uint32_t>(p.vertices.size()), 2});
    p.vertices.push_back(a);
    p.vertices.push_back(b);
  };
  switch (((mode % 8) + 8) % 8) {
    case 0:
      // A zero-length line would draw nothing.
      p.ops.push_back({OpKind::points, static_cast<std::uint32_t>(p.vertices.size()), 1});
      p.vertices.push_back({0, 0, 0});
      break;
    case 2:
      segment({-1, 0, 0}, {1, 0, 0});
      segment({0, -1, 0}, {0, 1, 0});
      break;
    case 3:
      segment({-0.7071068, -0.7071068, 0}, {0.7071068, 0.7071068, 0});
      segment({-0.7071068, 0.7071068, 0}, {0.7071068, -0.7071068, 0});
      break;
    case 4: segment({0, 0, 0}, {0, 0.5, 0}); break;
    default: break;
  }
  if (mode & 32) {
    p.ops.push_back({OpKind::lineLoop, static_cast<std::uint32_t>(p.vertices.size()), 16});
    for (int i = 0; i < 16; ++i) p.vertices.push_back({0.5 * std::cos(i * kPi / 8), 0.5 * std::sin(i * kPi / 8), 0});
  }
  if (mode & 64) {
    p.ops.push_back({OpKind::lineLoop, static_cast<std::uint32_t>(p.vertices.size()), 4});
    for (Vec3 v : {Vec3{-0.5, -0.5, 0}, Vec3{0.5, -0.5, 0}, Vec3{0.5, 0.5, 0}, Vec3{-0.5, 0.5, 0}})
      p.vertices.push_back(v);
  }
  return p;
}

FrameResult renderView(Drawing& drawing, int tab, int width, int height, double orbitAngle, Backend& out,
                       bool exportFrame) {
  if (drawing.views.empty()) drawing.views.emplace_back();
  // An image without room draws nothing rather than dividing by its size.
  if (width <= 2 || height <= 0) return FrameResult::drawn;
  if (tab <= 0 || static_cast<std::size_t>(tab) >= drawing.layouts.size()) {
    modelFrame(drawing, width, height, orbitAngle, exportFrame, out);
    return FrameResult::drawn;
  }
  return layoutFrame(drawing, tab, width, height, out);
}

int currentViewOf(const Drawing& drawing, int tab) {
  if (tab <= 0 || static_cast<std::size_t>(tab) >= drawing.layouts.size()) return 0;
  return paperViewOf(drawing, drawing.layouts[static_cast<std::size_t>(tab)]);
}

void setViewDirection(Drawing& drawing, ViewDirection direction) {
  if (drawing.views.empty()) drawing.views.emplace_back();
  auto& v = drawing.views[0];
  static constexpr std::array<Vec3, 10> kDirections = {Vec3{0, 0, 1},  Vec3{0, 0, -1}, Vec3{-1, 0, 0},  Vec3{1, 0, 0},
                                                       Vec3{0, -1, 0}, Vec3{0, 1, 0},  Vec3{-1, -1, 1}, Vec3{1, -1, 1},
                                                       Vec3{1, 1, 1},  Vec3{-1, 1, 1}};
  v.direction = kDirections[static_cast<std::size_t>(direction)];
  if (direction == ViewDirection::bottom) v.viewCentreX = -v.viewCentreX;
}

Pan beginPan(const Drawing& drawing, int view, int x, int y) {
  Pan pan;
  pan.view = view;
  pan.x0 = x;
  pan.y0 = y;
  if (view >= 0 && static_cast<std::size_t>(view) < drawing.views.size()) {
    pan.centreX0 = drawing.views[static_cast<std::size_t>(view)].viewCentreX;
    pan.centreY0 = drawing.views[static_cast<std::size_t>(view)].viewCentreY;
  }
  return pan;
}

void movePan(Drawing& drawing, const Pan& pan, int x, int y, int clientWidth, int clientHeight) {
  if (pan.view < 0 || static_cast<std::size_t>(pan.view) >= drawing.views.size() || clientWidth <= 0 ||
      clientHeight <= 0)
    return;
  auto& v = drawing.views[static_cast<std::size_t>(pan.view)];
  v.viewCentreX = pan.centreX0 - static_cast<double>(x - pan.x0) / clientWidth * v.width;
  v.viewCentreY = pan.centreY0 + static_cast<double>(y - pan.y0) / clientHeight * v.height;
}

void wheelZoom(Drawing& drawing, int view, bool awayFromUser, int x, int y, int clientWidth, int clientHeight) {
  if (view < 0 || static_cast<std::size_t>(view) >= drawing.views.size() || clientWidth <= 0 || clientHeight <= 0)
    return;
  auto& v = drawing.views[static_cast<std::size_t>(view)];
  const double cw = clientWidth, ch = clientHeight;
  if (awayFromUser) {
    v.viewCentreX = 0.9 * v.viewCentreX + 0.1 * (v.viewCentreX + v.width * x / cw - v.width / 2);
    v.viewCentreY = 0.9 * v.viewCentreY + 0.1 * (v.viewCentreY + (1 - y / ch) * v.height - v.height / 2);
    v.width *= 0.9;
    v.height *= 0.9;
  } else {
    v.viewCentreX -= ((x + 2) / (cw + 2) - 0.5) * 0.112 * v.width;
    v.viewCentreY += (y / ch - 0.5) * 0.123 * v.height;
    v.width /= 0.9;
    v.height /= 0.9;
  }
}

void endOrbit(Drawing& drawing) {
  if (drawing.views.empty()) return;
  auto& d = drawing.views[0].direction;
  const double len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (len > 0) d = {d.x / len, d.y / len, d.z / len};
}

void adaptModelView(Drawing& drawing, int width, int height) {
  if (drawing.views.empty() || width <= 0) return;
  auto& v = drawing.views[0];
  v.height = height * v.width / width;
}

void fitModelView(Drawing& drawing, int width, int height) {
  if (drawing.views.empty()) drawing.views.emplace_back();
  Extents e(drawing);
  e.walk(drawing.modelSpace, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0);
  for (const auto& p : drawing.points) e.add({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, p.position);
  auto& v = drawing.views[0];
  v.direction = {0, 0, 1};
  v.target = {0, 0, 0};
  v.twist = 0;
  if (e.empty()) {
    v.viewCentreX = v.viewCentreY = 0;
    v.height = v.viewHeight = 1;
  } else {
    v.viewCentreX = (e.minX + e.maxX) / 2;
    v.viewCentreY = (e.minY + e.maxY) / 2;
    const double w = std::max(e.maxX - e.minX, 1e-9), h = std::max(e.maxY - e.minY, 1e-9);
    // The whole extents with a twentieth spare, whichever side the image's proportions bind.
    const double aspect = height > 0 && width > 2 ? static_cast<double>(width - 2) / height : 1;
    v.height = std::max(h, w / aspect) * 1.05;
    v.viewHeight = v.height;
  }
  v.width = v.height * (height > 0 && width > 2 ? static_cast<double>(width - 2) / height : 1);
}

}  // namespace viewer
