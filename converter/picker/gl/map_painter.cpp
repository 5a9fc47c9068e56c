#include "converter/picker/gl/map_painter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "converter/geo/plane_coordinates.h"

namespace picker {

namespace {

constexpr Rgb kLevelColours[kLevelCount] = {
    {0, 0, 0}, {0, 0, 0}, {0.2f, 0.2f, 0.2f}, {0.2f, 0.5f, 0.2f}, {0.2f, 0.2f, 0.7f}, {0.7f, 0.2f, 0.2f}, {0.5f, 0.5f, 0.5f},
};

void colour(const Rgb& c) { glColor3f(c.r, c.g, c.b); }

// A line strip of the points, leaving out those within `tolerance` of the last one drawn
// (the last point is always drawn).
void strip(const geo::PointPair* p, std::size_t n, double tolerance) {
  if (n < 2) return;
  glBegin(GL_LINE_STRIP);
  glVertex2d(p[0].x, p[0].y);
  geo::PointPair last = p[0];
  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (std::fabs(p[i].x - last.x) < tolerance && std::fabs(p[i].y - last.y) < tolerance) continue;
    glVertex2d(p[i].x, p[i].y);
    last = p[i];
  }
  glVertex2d(p[n - 1].x, p[n - 1].y);
  glEnd();
}

constexpr double kTileMetres = 10000;

}  // namespace

Rgb levelColour(int level) { return kLevelColours[level < 0 ? 0 : level >= kLevelCount ? kLevelCount - 1 : level]; }

void MapPainter::compile(const std::vector<geo::PointPair>& points, const std::vector<Line>& lines,
                         double unitsPerMetre) {
  const double tile = kTileMetres * unitsPerMetre;
  tolerances_[1] = 16 * unitsPerMetre;
  tolerances_[2] = 128 * unitsPerMetre;
  // Lines by level and by the tile of their first point; a batch's box is that of its points.
  std::map<std::tuple<int, long long, long long>, std::vector<const Line*>> groups;
  for (const Line& line : lines) {
    const auto& p = points[line.first];
    groups[{line.level, static_cast<long long>(std::floor(p.x / tile)), static_cast<long long>(std::floor(p.y / tile))}]
        .push_back(&line);
  }
  for (const auto& [key, members] : groups) {
    Batch batch{std::get<0>(key), {1e300, -1e300, 1e300, -1e300}, glGenLists(kDetails)};
    if (!batch.lists) return;
    for (const Line* line : members)
      for (std::size_t i = line->first; i < line->first + line->count; ++i) {
        const auto& p = points[i];
        batch.box = {std::min(batch.box.left, p.x), std::max(batch.box.right, p.x), std::min(batch.box.bottom, p.y),
                     std::max(batch.box.top, p.y)};
      }
    for (int d = 0; d < kDetails; ++d) {
      glNewList(batch.lists + d, GL_COMPILE);
      for (const Line* line : members) strip(points.data() + line->first, line->count, tolerances_[d]);
      glEndList();
    }
    batches_.push_back(batch);
  }
}

void MapPainter::deleteBatches(bool roads) {
  std::erase_if(batches_, [roads](const Batch& b) {
    if ((b.level == kRoadLevel) != roads) return false;
    glDeleteLists(b.lists, kDetails);
    return true;
  });
}

void MapPainter::compileBoundaries(const BoundaryMap& map, geo::PlaneCoordinates& c) {
  deleteBatches(false);
  deleteBatches(true);
  // Each point converted once.
  std::vector<geo::PointPair> plane;
  std::vector<Line> lines;
  plane.reserve(map.used());
  map.forEachPolyline([&](int level, const geo::PointPair* p, std::size_t n) {
    for (const auto& piece : drawnPieces(p, n)) lines.push_back({level, plane.size() + piece.first, piece.count});
    for (std::size_t i = 0; i < n; ++i) {
      c.bltoxy(p[i].x, p[i].y);
      plane.push_back({c.planeY, c.planeX});
    }
  });
  compile(plane, lines, c.unitsPerMetre);
}

void MapPainter::compileRoads(const BoundaryMap& map, double unitsPerMetre) {
  deleteBatches(true);
  std::vector<Line> lines;
  map.forEachPolyline([&](int, const geo::PointPair* p, std::size_t n) {
    lines.push_back({kRoadLevel, static_cast<std::size_t>(p - map.data()), n});
  });
  std::vector<geo::PointPair> points(map.data(), map.data() + map.used());
  compile(points, lines, unitsPerMetre);
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
  deleteBatches(false);
  deleteBatches(true);
  if (digits_) glDeleteLists(digits_, 10);
  digits_ = 0;
}

void MapPainter::draw(const Frame& f) const {
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, f.width, f.height);
  const PlaneRect v = fittedView(f.view, f.width, f.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(v.left, v.right, v.bottom, v.top, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glLineWidth(1);

  if (f.hasMap) {
    // A thinned copy moves no point by more than about two pixels.
    const double pixel = (v.right - v.left) / f.width;
    int detail = kDetails - 1;
    while (detail > 0 && tolerances_[detail] > 2 * pixel) --detail;
    for (int k = f.level; k >= 0; --k) {
      colour(levelColour(k));
      for (const Batch& b : batches_)
        if (b.level == k && b.box.left <= v.right && b.box.right >= v.left && b.box.bottom <= v.top &&
            b.box.top >= v.bottom)
          glCallList(b.lists + detail);
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
