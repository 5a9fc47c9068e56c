#include "converter/elevation/contours.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "converter/geo/colour_legend.h"
#include "platform/numbers.h"

namespace elevation {

namespace {

using geo::PointPair;

constexpr int kAllContours = 1;      // "すべての等高線"
constexpr int kDepressionAreas = 3;  // "窪地のみ(面描画)"
constexpr int kNotDepressions = 0;   // "窪地以外"

// Levels whose interior start crossings are found in one pass over the grid.
constexpr std::size_t kLevelsPerPass = 32;

// The interior start crossings of a run of levels: for every level, the horizontal grid
// edges of the walk's rows whose left sample is at or above the level and whose right
// sample is below it, in row order. One pass over the grid serves kLevelsPerPass levels,
// so a level costs its crossings, not a scan of the grid.
class StartCrossings {
 public:
  explicit StartCrossings(const geo::ElevationGrid& g) : g_(g) {}

  // `levels` descending.
  void prepare(std::span<const double> levels) {
    levels_ = levels;
    edges_.resize(levels.size());
    for (auto& list : edges_) list.clear();
    const auto cells = g_.cells();
    const auto C = static_cast<std::size_t>(g_.columnCount);
    if (levels.empty() || cells.size() < C * static_cast<std::size_t>(g_.rowCount)) return;
    const auto& w = g_.innerWindow;
    const int c0 = std::max(w.firstColumn, 0), c1 = std::min(w.endColumn, g_.columnCount) - 1;
    const int r0 = std::max(w.firstRow, 0), r1 = std::min(w.endRow, g_.rowCount) - 1;
    const double top = levels.front(), bottom = levels.back();
    for (int y = r0; y <= r1 - 2; ++y)
      for (int x = c0; x < c1; ++x) {
        const std::size_t k = static_cast<std::size_t>(y) * C + static_cast<std::size_t>(x);
        const double a = cells[k].x, b = cells[k + 1].x;
        // The levels L with a >= L > b.
        if (!(a > b) || a < bottom || b >= top) continue;
        const auto first = std::partition_point(levels.begin(), levels.end(), [a](double L) { return L > a; });
        const auto last = std::partition_point(first, levels.end(), [b](double L) { return L > b; });
        for (auto L = first; L != last; ++L) edges_[static_cast<std::size_t>(L - levels.begin())].push_back(k);
      }
  }
  std::span<const std::size_t> at(std::size_t level) const { return edges_[level]; }

 private:
  const geo::ElevationGrid& g_;
  std::span<const double> levels_;
  std::vector<std::vector<std::size_t>> edges_;
};

// The horizontal grid edges passed by the lines kept at a level. Kept for the whole sheet
// and cleared mark by mark, so a level costs what its lines cost, not a pass over the grid.
class EdgeMarks {
 public:
  explicit EdgeMarks(std::size_t edges) : marks_(edges, 0) {}
  bool operator[](std::size_t edge) const { return marks_[edge] != 0; }
  void set(std::size_t edge) {
    if (marks_[edge]) return;
    marks_[edge] = 1;
    set_.push_back(edge);
  }
  void clear() {
    for (std::size_t edge : set_) marks_[edge] = 0;
    set_.clear();
  }

 private:
  std::vector<unsigned char> marks_;
  std::vector<std::size_t> set_;
};

// The walk over one level. Lines go into the point buffer after the grid cells: a header
// pair (vertex count, closure) and the vertices.
class Tracer {
 public:
  // Without edge marks, crossings are looked up among the kept vertices (the plain lookup).
  // `starts`: the interior start crossings of the level.
  Tracer(sheet::RunContext& ctx, std::span<const std::size_t> starts, EdgeMarks* marks, double level)
      : starts_(starts),
        lookup_(marks ? CrossingLookup::marks : CrossingLookup::plain),
        edgeMarks_(marks),
        ctx_(ctx),
        g_(ctx.elevationGrid),
        cells_(g_.cells().data()),
        C_(g_.columnCount),
        R_(g_.rowCount),
        level_(level),
        buf_(ctx.pointBuffer),
        storeStart_(static_cast<std::size_t>(C_) * static_cast<std::size_t>(R_)),
        end_(storeStart_) {
    const auto& w = g_.innerWindow;
    c0_ = std::max(w.firstColumn, 0);
    c1_ = std::min(w.endColumn, C_) - 1;
    r0_ = std::max(w.firstRow, 0);
    r1_ = std::min(w.endRow, R_) - 1;
    const auto& s = ctx.settings;
    target_ = s.contourTarget;
    minVertices_ = std::size_t{1} << (std::clamp(s.shortContourOmission, 0, 30) + 1);
    if (edgeMarks_) edgeMarks_->clear();
  }

  // Tries every start crossing in order; false when the store is full or the run stopped.
  bool run() {
    if (c1_ <= c0_ || r1_ <= r0_ || g_.cells().size() < storeStart_) return true;
    if (storeStart_ + 3 > buf_.size()) return storeFull();
    for (int x = c0_; x < c1_ && ok(); ++x)
      if (value(r0_, x) >= level_ && level_ > value(r0_, x + 1))
        start(square(r0_, x), square(r0_, x) - C_, t(value(r0_, x), value(r0_, x + 1)), 0);
    for (int x = c0_; x < c1_ && ok(); ++x)
      if (value(r1_, x) < level_ && level_ <= value(r1_, x + 1))
        start(square(r1_ - 1, x), square(r1_ - 1, x) + C_, t(value(r1_, x), value(r1_, x + 1)), 1);
    for (int y = r0_; y < r1_ && ok(); ++y)
      if (value(y, c0_) < level_ && level_ <= value(y + 1, c0_))
        start(square(y, c0_), square(y, c0_) - 1, 0, t(value(y, c0_), value(y + 1, c0_)));
    for (int y = r0_; y < r1_ && ok(); ++y)
      if (value(y, c1_) >= level_ && level_ > value(y + 1, c1_))
        start(square(y, c1_ - 1), square(y, c1_ - 1) + 1, 1, t(value(y, c1_), value(y + 1, c1_)));
    for (const std::size_t k : starts_) {
      if (!ok()) break;
      const int y = static_cast<int>(k / static_cast<std::size_t>(C_)),
                x = static_cast<int>(k % static_cast<std::size_t>(C_));
      const double dx = t(value(y, x), value(y, x + 1));
      if (!seen(x + dx, y, x)) start(square(y, x), square(y, x) - C_, dx, 0);
    }
    return !full_;
  }

  // The kept lines, in store order.
  template <typename Each>
  void forEachLine(Each each) const {
    for (std::size_t at = storeStart_; at < end_;) {
      const auto n = static_cast<std::size_t>(buf_[at].x);
      each(static_cast<Closure>(static_cast<int>(buf_[at].y)), &buf_[at + 1], n);
      at += n + 1;
    }
  }

 private:
  bool ok() const { return !full_ && ctx_.runContinue; }
  long long square(int row, int column) const { return static_cast<long long>(row) * C_ + column; }
  // Squares and crossings stay inside the grid, so the cells are read without a bounds test.
  double value(int row, int column) const { return cells_[static_cast<std::size_t>(row) * C_ + column].x; }
  double valueAt(long long k) const { return cells_[static_cast<std::size_t>(k)].x; }
  double t(double v1, double v2) const { return (v1 - level_) / (v1 - v2); }

  // A crossing already passed by a line kept at this level: a vertex within 0.0000001 of it.
  bool seen(double x, double y, int edgeColumn) const {
    return lookup_ == CrossingLookup::marks ? marked(x, y, edgeColumn) : scanned(x, y);
  }

  // The same answer at constant cost. A kept vertex inside a horizontal grid edge marks the
  // edge; every crossing of that edge at this level is the same point, computed from the
  // same two samples. Vertices close to a grid point, where several edges meet, are kept
  // by that point and compared as the plain lookup compares them.
  bool marked(double x, double y, long long column) const {
    const long long row = static_cast<long long>(y);
    if ((*edgeMarks_)[static_cast<std::size_t>(row * C_ + column)]) return true;
    for (long long gx : {column, column + 1}) {
      const auto near = nearPoints_.find(row * (C_ + 1) + gx);
      if (near == nearPoints_.end()) continue;
      for (const auto& p : near->second)
        if (std::fabs(p.x - x) < 0.0000001 && std::fabs(p.y - y) < 0.0000001) return true;
    }
    return false;
  }

  void mark(const PointPair& p) {
    const double gx = std::round(p.x), gy = std::round(p.y);
    if (std::fabs(p.x - gx) <= 0.0000001 && std::fabs(p.y - gy) <= 0.0000001) {
      nearPoints_[static_cast<long long>(gy) * (C_ + 1) + static_cast<long long>(gx)].push_back(p);
      return;
    }
    if (p.y == gy && gy >= 0 && gy < R_ && p.x > 0 && p.x < C_)
      edgeMarks_->set(static_cast<std::size_t>(static_cast<long long>(gy) * C_ + static_cast<long long>(p.x)));
  }

  // Every vertex of every kept line.
  bool scanned(double x, double y) const {
    bool found = false;
    forEachLine([&](Closure, const PointPair* p, std::size_t n) {
      for (std::size_t i = 0; i < n && !found; ++i)
        if (std::fabs(p[i].x - x) < 0.0000001 && std::fabs(p[i].y - y) < 0.0000001) found = true;
    });
    return found;
  }

  bool vertex(long long k, double u, double v) {
    buf_[end_ + 1 + written_] = PointPair{static_cast<double>(k % C_) + u, static_cast<double>(k / C_) + v};
    ++written_;
    return end_ + written_ + 3 < buf_.size() || storeFull();
  }

  bool storeFull() {
    ctx_.stop("警告", "等高線処理で占有メモリ限界に達しました、占有メモリー調整が必要です");
    full_ = true;
    return false;
  }

  void start(long long k, long long stop, double dx, double dy) {
    written_ = 0;
    if (!vertex(k, dx, dy)) return;
    long long previous = stop;
    int towardHigh = 0, towardLow = 0;
    Closure closure = Closure::open;
    for (;;) {
      const int row = static_cast<int>(k / C_), column = static_cast<int>(k % C_);
      const bool tl = valueAt(k) < level_, tr = valueAt(k + 1) < level_;
      const bool bl = valueAt(k + C_) < level_, br = valueAt(k + C_ + 1) < level_;
      enum Edge { none, top, bottom, left, right } edge = none;
      const int low = tl + tr + bl + br;
      if (low == 0 || low == 4) break;
      if (low == 3) {
        ++towardHigh;
        edge = !br ? right : !bl ? bottom : !tr ? top : left;
      } else if (low == 1) {
        ++towardLow;
        edge = tl ? top : tr ? right : bl ? left : bottom;
      } else if (tl && br) {
        ++towardHigh;
        edge = previous == k - 1 ? bottom : top;
      } else if (tr && bl) {
        ++towardHigh;
        edge = previous == k - C_ ? left : right;
      } else {
        edge = tl && tr ? right : tl && bl ? top : tr && br ? bottom : left;
      }
      long long next = k;
      bool leaves = false;
      double u = 0, v = 0;
      switch (edge) {
        case top:
          u = t(valueAt(k), valueAt(k + 1));
          next = k - C_;
          leaves = row == 0;
          break;
        case bottom:
          u = t(valueAt(k + C_), valueAt(k + C_ + 1));
          v = 1;
          next = k + C_;
          leaves = row + 1 >= R_ - 1;
          break;
        case left:
          v = t(valueAt(k), valueAt(k + C_));
          next = k - 1;
          leaves = column == 0;
          break;
        case right:
          u = 1;
          v = t(valueAt(k + 1), valueAt(k + C_ + 1));
          next = k + 1;
          leaves = column + 1 >= C_ - 1;
          break;
        case none: break;
      }
      if (!vertex(k, u, v)) return;
      if (next == stop) {
        closure = towardHigh >= towardLow ? Closure::hill : Closure::depression;
        break;
      }
      if (leaves) break;
      previous = k;
      k = next;
    }
    keepIfWanted(closure);
    ctx_.pump();
  }

  void keepIfWanted(Closure closure) {
    const bool target = target_ == kAllContours      ? true
                        : target_ == kNotDepressions ? closure != Closure::depression
                                                     : closure == Closure::depression;
    if (!target || written_ < minVertices_) return;
    const PointPair* p = &buf_[end_ + 1];
    bool inside = false;
    for (std::size_t i = 0; i < written_ && !inside; ++i)
      inside = g_.innerWindow.firstColumn < p[i].x && p[i].x < g_.innerWindow.endColumn &&
               g_.innerWindow.firstRow < p[i].y && p[i].y < g_.innerWindow.endRow;
    if (!inside) return;
    buf_[end_] = PointPair{static_cast<double>(written_), static_cast<double>(static_cast<int>(closure))};
    if (lookup_ == CrossingLookup::marks)
      for (std::size_t i = 0; i < written_; ++i) mark(p[i]);
    end_ += written_ + 1;
  }

  std::span<const std::size_t> starts_;
  CrossingLookup lookup_;
  EdgeMarks* edgeMarks_;
  std::unordered_map<long long, std::vector<PointPair>> nearPoints_;
  sheet::RunContext& ctx_;
  const geo::ElevationGrid& g_;
  const geo::PointPair* cells_;
  const int C_, R_;
  const double level_;
  geo::PointBuffer& buf_;
  const std::size_t storeStart_;
  std::size_t end_;
  std::size_t written_ = 0;
  int c0_ = 0, c1_ = 0, r0_ = 0, r1_ = 0;
  int target_ = 0;
  std::size_t minVertices_ = 2;
  bool full_ = false;
};

}  // namespace

bool traceLevel(sheet::RunContext& ctx, double level, std::vector<TracedLine>& lines, CrossingLookup lookup) {
  StartCrossings starts(ctx.elevationGrid);
  starts.prepare(std::span<const double>(&level, 1));
  EdgeMarks marks(static_cast<std::size_t>(ctx.elevationGrid.columnCount) * ctx.elevationGrid.rowCount);
  Tracer tracer(ctx, starts.at(0), lookup == CrossingLookup::marks ? &marks : nullptr, level);
  const bool ok = tracer.run();
  tracer.forEachLine([&](Closure closure, const geo::PointPair* p, std::size_t n) {
    lines.push_back({closure, std::vector<geo::PointPair>(p, p + n)});
  });
  return ok;
}

void writeContours(sheet::RunContext& ctx, sheet::EntityWriter& out) {
  const auto& g = ctx.elevationGrid;
  const auto& s = ctx.settings;
  const double I = ctx.sheetLegendInterval[static_cast<std::size_t>(ctx.sheetIndex)];
  const double B = ctx.sheetLegendBottom[static_cast<std::size_t>(ctx.sheetIndex)];
  const int S = ctx.values.legendStepCount;
  const double T = ctx.thickContourStep;
  if (!(g.zMax > g.zMin) || !(I > 0) || !std::isfinite(I)) return;
  ctx.progress(sheet::ProgressLine::Phase, "等高線解析中");
  const double heightFactor = ctx.values.exaggeration * ctx.values.unitsPerMetre;
  const geo::SheetLegend legend = ctx.sheetLegend();
  std::vector<dxfio::Vertex> vertices;
  // Levels from the top down; below the lowest sample no walk would find a crossing. A step
  // that does not descend (an interval lost in the rounding to centimetres) ends the list
  // instead of repeating its level forever.
  std::vector<double> levels;
  for (double L = std::floor((g.zMax - B) / I) * I + B; L >= g.zMin;) {
    levels.push_back(L);
    const double next = std::floor((L - I + 0.000000001) * 100) / 100;
    if (!(next < L)) break;
    L = next;
  }
  StartCrossings starts(g);
  std::vector<std::optional<geo::LatitudeTerms>> rowTerms(static_cast<std::size_t>(std::max(g.rowCount, 0)));
  EdgeMarks marks(static_cast<std::size_t>(g.columnCount) * g.rowCount);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    if (i % kLevelsPerPass == 0)
      starts.prepare(std::span<const double>(levels).subspan(i, std::min(kLevelsPerPass, levels.size() - i)));
    const double L = levels[i];
    ctx.pump();
    if (!ctx.runContinue) break;
    ctx.progress(sheet::ProgressLine::Detail, platform::formatNumber("%0.2fm", L));
    Tracer tracer(ctx, starts.at(i % kLevelsPerPass), &marks, L);
    if (!tracer.run()) return;
    const std::string layer = "等高線" + geo::legendLabel(legend, S, "_", L);
    const double H = L * heightFactor;
    const bool outsideLegend = L < B || L > (S - 2) * I + B;
    const bool thick = outsideLegend && s.contourWeightRule != 0 && std::fabs(L - std::trunc(L / T) * T) < 0.001;
    tracer.forEachLine([&](Closure closure, const geo::PointPair* p, std::size_t n) {
      vertices.resize(n);
      auto& c = ctx.coordinates;
      for (std::size_t i = 0; i < n; ++i) {
        const double longitude = g.gridWest + p[i].x * g.cellWidth + g.cellWidth / 2;
        const double latitude = g.gridNorth - p[i].y * g.cellHeight - g.cellHeight / 2;
        // About half the vertices lie on a row of samples, whose latitude terms are kept.
        const double row = std::floor(p[i].y);
        if (row == p[i].y && row >= 0 && row < static_cast<double>(rowTerms.size())) {
          auto& terms = rowTerms[static_cast<std::size_t>(row)];
          if (!terms) terms = c.latitudeTerms(latitude);
          c.bltoxy(longitude, *terms);
        } else {
          c.bltoxy(longitude, latitude);
        }
        vertices[i] = {c.planeY, c.planeX};
      }
      sheet::PolylineStyle style;
      style.elevation = H;
      if (s.contourTarget == kDepressionAreas) {
        out.hatchStart(layer, 1, std::nullopt, H);
        out.hatchRing(sheet::HatchRing::outer, vertices);
        out.hatchEnd();
        out.lwpolyline("窪地線", vertices, true, style);
        return;
      }
      if (thick) style.lineweight = 30;
      out.lwpolyline(layer, vertices, closure != Closure::open, style);
    });
  }
  ctx.progress(sheet::ProgressLine::Phase, "");
  ctx.progress(sheet::ProgressLine::Detail, "");
}

}  // namespace elevation
