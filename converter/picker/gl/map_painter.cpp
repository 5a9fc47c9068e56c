#include "converter/picker/gl/map_painter.h"

#include <GL/gl.h>

#include <cmath>

#include "converter/geo/plane_coordinates.h"

namespace picker {

namespace {

constexpr Rgb kLevelColours[kLevelCount] = {
    {0, 0, 0}, {0, 0, 0}, {0.2f, 0.2f, 0.2f}, {0.2f, 0.5f, 0.2f}, {0.2f, 0.2f, 0.7f}, {0.7f, 0.2f, 0.2f}, {0.5f, 0.5f, 0.5f},
};

void colour(const Rgb& c) { glColor3f(c.r, c.g, c.b); }

// The projection: the view made as wide for its height as the client area, as the window does.
PlaneRect aspectView(PlaneRect v, int width, int height) {
  const double w = v.right - v.left, h = v.top - v.bottom, client = static_cast<double>(width) / height;
  if (h != 0 && (w / h) / client >= 1)
    v.top = v.bottom + w / client;
  else
    v.right = v.left + h * client;
  return v;
}

void strip(const geo::PointPair* p, std::size_t n) {
  glBegin(GL_LINE_STRIP);
  for (std::size_t i = 0; i < n; ++i) glVertex2d(p[i].x, p[i].y);
  glEnd();
}

}  // namespace

Rgb levelColour(int level) { return kLevelColours[level < 0 ? 0 : level >= kLevelCount ? kLevelCount - 1 : level]; }

void MapPainter::ensureLists() {
  if (!lists_) lists_ = glGenLists(kLevelCount);
}

void MapPainter::compileBoundaries(const BoundaryMap& map, geo::PlaneCoordinates& c) {
  ensureLists();
  if (!lists_) return;
  // Each point converted once; a polyline of level k is drawn in lists k to 5.
  struct Piece {
    int level;
    std::size_t first, count;
  };
  std::vector<geo::PointPair> plane;
  std::vector<Piece> pieces;
  plane.reserve(map.used());
  map.forEachPolyline([&](int level, const geo::PointPair* p, std::size_t n) {
    for (const auto& piece : drawnPieces(p, n)) pieces.push_back({level, plane.size() + piece.first, piece.count});
    for (std::size_t i = 0; i < n; ++i) {
      c.bltoxy(p[i].x, p[i].y);
      plane.push_back({c.planeY, c.planeX});
    }
  });
  for (int k = 0; k < kRoadLevel; ++k) {
    glNewList(lists_ + k, GL_COMPILE);
    for (const Piece& piece : pieces)
      if (piece.level <= k) strip(plane.data() + piece.first, piece.count);
    glEndList();
  }
  glNewList(lists_ + kRoadLevel, GL_COMPILE);
  glEndList();
}

void MapPainter::compileRoads(const BoundaryMap& map) {
  ensureLists();
  if (!lists_) return;
  glNewList(lists_ + kRoadLevel, GL_COMPILE);
  map.forEachPolyline([](int, const geo::PointPair* p, std::size_t n) { strip(p, n); });
  glEndList();
}

void MapPainter::buildDigits(const std::array<DigitBitmap, 10>& digits) {
  if (!digits_) digits_ = glGenLists(10);
  if (!digits_) return;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (unsigned d = 0; d < 10; ++d) {
    const auto& g = digits[d];
    glNewList(digits_ + d, GL_COMPILE);
    glBitmap(g.width, g.height, 0, 0, g.advance, 0, g.bits.empty() ? nullptr : g.bits.data());
    glEndList();
  }
}

void MapPainter::release() {
  if (lists_) glDeleteLists(lists_, kLevelCount);
  if (digits_) glDeleteLists(digits_, 10);
  lists_ = digits_ = 0;
}

void MapPainter::draw(const Frame& f) const {
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, f.width, f.height);
  const PlaneRect v = aspectView(f.view, f.width, f.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(v.left, v.right, v.bottom, v.top, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLineWidth(1);

  if (f.hasMap && lists_) {
    for (int k = f.level; k >= 0; --k) {
      colour(levelColour(k));
      glCallList(lists_ + k);
    }
  }

  float width = 1;
  glBegin(GL_LINES);
  for (const Stroke& s : f.strokes) {
    if (s.width != width) {
      glEnd();
      glLineWidth(width = s.width);
      glBegin(GL_LINES);
    }
    colour(s.colour);
    glVertex2d(s.from.x, s.from.y);
    glVertex2d(s.to.x, s.to.y);
  }
  glEnd();
  glLineWidth(1);

  if (f.overlay) {
    const MeshOverlay& o = *f.overlay;
    for (std::size_t i = 0; i < o.lines.size(); ++i) {
      colour(o.lineColours[i]);
      glBegin(GL_LINE_STRIP);
      for (const auto& p : o.lines[i]) glVertex2d(p.x, p.y);
      glEnd();
    }
    if (digits_) {
      // A raster position outside the viewport would drop the whole code: start from the
      // view's corner and move by pixels instead.
      const double px = f.width / (v.right - v.left), py = f.height / (v.top - v.bottom);
      glListBase(digits_ - '0');
      for (const MeshLabel& label : o.labels) {
        colour(label.colour);
        glRasterPos2d(v.left + 0.5 / px, v.bottom + 0.5 / py);
        glBitmap(0, 0, 0, 0, static_cast<float>((label.at.x - v.left) * px - 0.5),
                 static_cast<float>((label.at.y - v.bottom) * py - 0.5), nullptr);
        glCallLists(static_cast<int>(label.code.size()), GL_UNSIGNED_BYTE, label.code.data());
      }
      glListBase(0);
    }
  }
  glFlush();
}

}  // namespace picker
