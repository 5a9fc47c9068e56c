#include "viewer/ui/pdf_export.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <array>
#include <cmath>
#include <exception>
#include <memory>

#include "platform/printer_catalogue.h"
#include "viewer/draw/matrix.h"
#include "viewer/draw/view.h"

namespace viewer {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The views are framed in image pixels; on paper a pixel is a hundredth of a millimetre,
// fine enough that whole-pixel viewports stay true to scale.
constexpr double kPixelsPerMm = 100;
constexpr int kResolution = 1200;  // device units per inch of the PDF painter
// A line of width 1 on the screen.
constexpr double kLineMm = 0.1;
// Texts are laid out at this pixel size and scaled down to one em.
constexpr int kFontPixels = 100;

Vec3 normalised(Vec3 v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return len > 0 ? Vec3{v.x / len, v.y / len, v.z / len} : v;
}

Vec3 crossProduct(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Draws the views' frames on a QPainter, replaying the drawing's programs step by step
// with the same transformations the GL lists apply.
class PdfBackend final : public Backend {
 public:
  PdfBackend(QPainter& painter, const Drawing& drawing, int imageHeight, double devicePerPixel)
      : painter_(painter),
        drawing_(drawing),
        symbol_(pointSymbol(drawing.pointMode)),
        imageHeight_(imageHeight),
        k_(devicePerPixel) {
    font_.setFamilies({"Noto Sans CJK JP", "IPAGothic"});
    font_.setPixelSize(kFontPixels);
    font_.setKerning(false);
    // Substituted glyphs (the CJK font's Latin run swaps in its own zero) get no
    // character in Qt's text map, and a reader of the PDF would lose them.
    font_.setStyleStrategy(QFont::PreferNoShaping);
    metrics_ = QFontMetricsF(font_, painter_.device());
    applyPen();
  }

  void clear(Rgb) override {}  // the page is white
  void viewport(int x, int y, int width, int height) override {
    vx_ = x, vy_ = y, vw_ = width, vh_ = height;
    // GL clips to the projection's volume, which is the viewport.
    painter_.setClipRect(QRectF(device(x, y + height), device(x + width, y)).normalized());
  }
  void ortho(double l, double r, double b, double t, double n, double f) override {
    projection_ = {2 / (r - l),
                   0,
                   0,
                   0,
                   0,
                   2 / (t - b),
                   0,
                   0,
                   0,
                   0,
                   -2 / (f - n),
                   0,
                   -(r + l) / (r - l),
                   -(t + b) / (t - b),
                   -(f + n) / (f - n),
                   1};
  }
  void identity() override { modelView_ = identityMatrix(); }
  void lookAt(Vec3 eye, Vec3 centre, Vec3 up) override {
    const Vec3 f = normalised({centre.x - eye.x, centre.y - eye.y, centre.z - eye.z});
    const Vec3 s = normalised(crossProduct(f, up));
    const Vec3 u = crossProduct(s, f);
    const Matrix m = {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0, 0, 0, 0, 1};
    modelView_ = times(times(modelView_, m), translation({-eye.x, -eye.y, -eye.z}));
  }
  void rotate(double degrees, Vec3 axis) override { modelView_ = times(modelView_, rotation(degrees, axis)); }
  void translate(Vec3 by) override { modelView_ = times(modelView_, translation(by)); }
  void scale(double f) override { modelView_ = times(modelView_, scaling(f, f, f)); }
  void push() override { stack_.push_back(modelView_); }
  void pop() override {
    if (stack_.empty()) return;
    modelView_ = stack_.back();
    stack_.pop_back();
  }
  void colour(Rgb c) override {
    colour_ = QColor::fromRgbF(c.r, c.g, c.b);
    applyPen();
  }
  void lineWidth(float width) override {
    width_ = width;
    applyPen();
  }
  void stipple(bool on, int, std::uint16_t) override {
    dashed_ = on;
    applyPen();
  }
  void lineLoop(std::span<const Vec3> points) override { polyline(points.data(), points.size(), true); }
  void filledRectangle(double x0, double y0, double x1, double y1) override {
    const Vec3 corners[] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    fill(corners, 4);
  }
  void callModelSpace() override { replay(drawing_.modelSpace, 0); }
  void callBlock(int index) override { block(index, 0); }
  void callPointSymbol() override { replay(symbol_, 0); }
  void finish() override { painter_.setClipping(false); }
  bool paperAids() const override { return false; }

 private:
  // Image pixels (y up from the bottom) to the painter's device units (y down).
  QPointF device(double x, double y) const { return {(x - 1) * k_, (imageHeight_ - y) * k_}; }

  QPointF project(const Vec3& v) const {
    const Matrix m = times(projection_, modelView_);
    const double x = m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12];
    const double y = m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13];
    return device(vx_ + (x + 1) / 2 * vw_, vy_ + (y + 1) / 2 * vh_);
  }

  void applyPen() {
    QPen pen(colour_);
    pen.setWidthF(std::max(1.0f, width_) * kLineMm * kPixelsPerMm * k_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (dashed_) pen.setStyle(Qt::DashLine);
    painter_.setPen(pen);
  }

  void polyline(const Vec3* v, std::size_t count, bool closed) {
    if (count == 0) return;
    QPolygonF line;
    line.reserve(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) line << project(v[i]);
    painter_.setBrush(Qt::NoBrush);
    if (closed)
      painter_.drawPolygon(line);
    else
      painter_.drawPolyline(line);
  }

  void fill(const Vec3* v, std::size_t count) {
    QPolygonF shape;
    for (std::size_t i = 0; i < count; ++i) shape << project(v[i]);
    QPainterPath path;
    path.addPolygon(shape);
    path.closeSubpath();
    painter_.fillPath(path, colour_);
  }

  void block(int index, int depth) {
    if (index < 0 || static_cast<std::size_t>(index) >= drawing_.blocks.size()) return;
    const Block& b = drawing_.blocks[static_cast<std::size_t>(index)];
    if (b.compiled) replay(b.program, depth + 1);
  }

  void replay(const Program& p, int depth) {
    // Blocks inserting each other without end are cut off, as the lists would overflow.
    if (depth > 32) return;
    auto spans = [](std::size_t first, std::size_t count, std::size_t size) {
      return first <= size && count <= size - first;
    };
    for (const Op& op : p.ops) {
      switch (op.kind) {
        case OpKind::push: push(); break;
        case OpKind::pop: pop(); break;
        case OpKind::translate: modelView_ = times(modelView_, translation({op.x, op.y, op.z})); break;
        case OpKind::scale: modelView_ = times(modelView_, scaling(op.x, op.y, op.z)); break;
        case OpKind::rotate: modelView_ = times(modelView_, rotation(op.w, {op.x, op.y, op.z})); break;
        case OpKind::colour:
          colour({static_cast<float>(op.x), static_cast<float>(op.y), static_cast<float>(op.z)});
          break;
        case OpKind::points:
          if (!spans(op.first, op.count, p.vertices.size())) break;
          for (std::uint32_t i = 0; i < op.count; ++i) {
            // A dot as wide as a line.
            const QPointF c = project(p.vertices[op.first + i]);
            const double r = kLineMm * kPixelsPerMm * k_;
            painter_.fillRect(QRectF(c.x() - r / 2, c.y() - r / 2, r, r), colour_);
          }
          break;
        case OpKind::lineStrip:
        case OpKind::lineLoop:
          if (spans(op.first, op.count, p.vertices.size()))
            polyline(p.vertices.data() + op.first, op.count, op.kind == OpKind::lineLoop);
          break;
        case OpKind::quad:
          if (spans(op.first, 4, p.vertices.size())) fill(p.vertices.data() + op.first, 4);
          break;
        case OpKind::triangles:
          if (spans(op.first, op.count, p.vertices.size()))
            for (std::uint32_t i = 0; i + 3 <= op.count; i += 3) fill(p.vertices.data() + op.first + i, 3);
          break;
        case OpKind::area: area(p, op); break;
        case OpKind::spline: spline(p, op); break;
        case OpKind::text: text(p, op); break;
        case OpKind::callBlock: block(static_cast<int>(op.first), depth); break;
      }
    }
  }

  // Contours filled together with the odd winding rule, as the tessellator fills them.
  void area(const Program& p, const Op& op) {
    if (op.first > p.contours.size() || op.count > p.contours.size() - op.first) return;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (std::uint32_t c = 0; c < op.count; ++c) {
      const Span& s = p.contours[op.first + c];
      if (s.count == 0 || s.first > p.vertices.size() || s.count > p.vertices.size() - s.first) continue;
      QPolygonF ring;
      for (std::uint32_t i = 0; i < s.count; ++i) ring << project(p.vertices[s.first + i]);
      path.addPolygon(ring);
      path.closeSubpath();
    }
    painter_.fillPath(path, colour_);
  }

  // A cubic B-spline by de Boor's algorithm, sixteen segments per knot span.
  void spline(const Program& p, const Op& op) {
    const std::size_t n = op.count;
    if (n < 4 || op.first > p.vertices.size() || n > p.vertices.size() - op.first || op.count2 != n + 4 ||
        op.first2 > p.knots.size() || op.count2 > p.knots.size() - op.first2)
      return;
    const Vec3* c = p.vertices.data() + op.first;
    const double* t = p.knots.data() + op.first2;
    std::vector<Vec3> curve;
    for (std::size_t span = 3; span < n; ++span) {
      if (!(t[span + 1] > t[span])) continue;
      for (int step = 0; step <= 16; ++step) {
        const double u = t[span] + (t[span + 1] - t[span]) * step / 16;
        std::array<Vec3, 4> d = {c[span - 3], c[span - 2], c[span - 1], c[span]};
        for (int r = 1; r <= 3; ++r)
          for (int j = 3; j >= r; --j) {
            const std::size_t i = span - 3 + static_cast<std::size_t>(j);
            const double denominator = t[i + 4 - r] - t[i];
            const double a = denominator > 0 ? (u - t[i]) / denominator : 0;
            d[j] = {(1 - a) * d[j - 1].x + a * d[j].x, (1 - a) * d[j - 1].y + a * d[j].y,
                    (1 - a) * d[j - 1].z + a * d[j].z};
          }
        curve.push_back(d[3]);
      }
    }
    polyline(curve.data(), curve.size(), false);
  }

  // A TEXT's alignment in font pixels (y down from the first point's baseline): the
  // transformation that moves its text, laid out from the origin, where a printed sheet has
  // it. Measured with the printing font: the bottom is its descent, the top its capital height.
  QTransform aligned(const Op& op, const QString& s) const {
    const int horizontal = static_cast<int>(op.first2), vertical = horizontal == 4 ? 2 : static_cast<int>(op.count2);
    if (horizontal == 0 && vertical == 0) return {};
    const double width = metrics_.horizontalAdvance(s);
    const QPointF a(op.x * kFontPixels, -op.y * kFontPixels);
    if (horizontal == 3 || horizontal == 5) {
      // From the first point to the alignment point: aligned keeps the proportions, fit the height.
      const double length = std::hypot(a.x(), a.y());
      if (!(length > 0) || !(width > 0)) return {};
      const double stretch = length / width;
      return QTransform().rotateRadians(std::atan2(a.y(), a.x())).scale(stretch, horizontal == 3 ? stretch : 1);
    }
    const double x = a.x() - (horizontal == 2 ? width : horizontal == 1 || horizontal == 4 ? width / 2 : 0);
    const double y = a.y() + (vertical == 1   ? -metrics_.descent()
                              : vertical == 2 ? metrics_.capHeight() / 2
                              : vertical == 3 ? metrics_.capHeight()
                                              : 0);
    return QTransform::fromTranslate(x, y);
  }

  // The characters as one run of real text, one em high from the baseline at the origin,
  // in the direction and slant the transformation gives the em square.
  void text(const Program& p, const Op& op) {
    if (op.first > p.text.size() || op.count > p.text.size() - op.first) return;
    std::u32string chars;
    for (std::uint32_t i = 0; i < op.count; ++i) {
      const std::uint32_t g = p.text[op.first + i];
      if (g < drawing_.glyphs.size()) chars.push_back(drawing_.glyphs[g]);
    }
    if (chars.empty()) return;
    const QPointF o = project({0, 0, 0}), x = project({1, 0, 0}) - o, y = project({0, 1, 0}) - o;
    if (std::hypot(y.x(), y.y()) < 1e-6) return;
    const QTransform em(x.x() / kFontPixels, x.y() / kFontPixels, -y.x() / kFontPixels, -y.y() / kFontPixels, o.x(),
                        o.y());
    const QString s = QString::fromUcs4(chars.data(), static_cast<qsizetype>(chars.size()));
    painter_.save();
    painter_.setTransform(aligned(op, s) * em, false);
    painter_.setFont(font_);
    painter_.setPen(colour_);
    painter_.drawText(QPointF(0, 0), s);
    painter_.restore();
  }

  QPainter& painter_;
  const Drawing& drawing_;
  Program symbol_;
  int imageHeight_;
  double k_;
  QFont font_;
  QFontMetricsF metrics_{font_};
  Matrix projection_ = identityMatrix(), modelView_ = identityMatrix();
  std::vector<Matrix> stack_;
  int vx_ = 0, vy_ = 0, vw_ = 1, vh_ = 1;
  QColor colour_ = Qt::black;
  float width_ = 1;
  bool dashed_ = false;
};

// The paper of the model tab: the model layout's paper by name, turned as its saved size
// is; else that saved size; else A4 upright.
QSizeF modelPaper(const Drawing& drawing) {
  if (drawing.layouts.empty()) return {210, 297};
  const Layout& model = drawing.layouts[0];
  const bool landscape = model.paperWidth > model.paperHeight;
  platform::PrinterCatalogue printers;
  const auto papers =
      printers.papers(platform::PrinterCatalogue::builtInName()).value_or(std::vector<platform::Paper>{});
  for (const auto& paper : papers)
    if (paper.name == model.paperName)
      return landscape ? QSizeF(paper.heightMm, paper.widthMm) : QSizeF(paper.widthMm, paper.heightMm);
  if (model.paperWidth > 0 && model.paperHeight > 0) return {model.paperWidth, model.paperHeight};
  return {210, 297};
}

}  // namespace

bool writePdf(Drawing& drawing, int tab, const std::string& outPath, std::string& error) {
  try {
    if (drawing.views.empty()) drawing.views.emplace_back();
    const bool layoutTab = tab > 0 && static_cast<std::size_t>(tab) < drawing.layouts.size();
    const auto savedViews = drawing.views;
    QSizeF pageMm;
    if (layoutTab) {
      const Layout& layout = drawing.layouts[static_cast<std::size_t>(tab)];
      const int paperIndex = currentViewOf(drawing, tab);
      if (paperIndex < 0) {
        error = "このレイアウト空間は未設定です";
        return false;
      }
      // Paper-space units to millimetres on paper: the plot scale.
      const double mmPerUnit = layout.scaleDenominator != 0 && layout.scaleNumerator != 0
                                   ? layout.scaleNumerator / layout.scaleDenominator
                                   : 1;
      pageMm = layout.paperWidth > 0 && layout.paperHeight > 0
                   ? QSizeF(layout.paperWidth, layout.paperHeight)
                   : QSizeF((layout.limitsMaxX - layout.limitsMinX) * mmPerUnit,
                            (layout.limitsMaxY - layout.limitsMinY) * mmPerUnit);
      // The page shows paper space from the limits' lower left corner at the plot scale.
      auto& P = drawing.views[static_cast<std::size_t>(paperIndex)];
      P.height = pageMm.height() / mmPerUnit;
      P.viewCentreX = layout.limitsMinX + pageMm.width() / mmPerUnit / 2;
      P.viewCentreY = layout.limitsMinY + P.height / 2;
    } else {
      pageMm = modelPaper(drawing);
    }
    if (!(pageMm.width() > 0) || !(pageMm.height() > 0)) {
      error = "the layout has no paper size";
      return false;
    }
    const int width = static_cast<int>(std::lround(pageMm.width() * kPixelsPerMm)) + 2;
    const int height = static_cast<int>(std::lround(pageMm.height() * kPixelsPerMm));
    if (!layoutTab) {
      // The drawing's whole extents, turned to suit the paper.
      fitModelView(drawing, width, height);
    }

    QPdfWriter writer(QString::fromStdString(outPath));
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(pageMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator("Orbiscope");
    writer.setTitle(QString::fromStdString(drawing.path));
    QPainter painter;
    if (!painter.begin(&writer)) {
      drawing.views = savedViews;
      error = "the PDF file cannot be written: " + outPath;
      return false;
    }
    PdfBackend backend(painter, drawing, height, kResolution / 25.4 / kPixelsPerMm);
    const FrameResult result = renderView(drawing, layoutTab ? tab : 0, width, height, 0, backend);
    painter.end();
    drawing.views = savedViews;
    if (result == FrameResult::noPaperView) {
      error = "このレイアウト空間は未設定です";
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    error = std::string("the PDF export failed: ") + e.what();
    return false;
  }
}

bool exportPdf(const std::string& dxfPath, const std::string& outPath, int tab, std::string& error) {
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    // Headless: no display is needed to lay out texts for a PDF.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orbiscope";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  Drawing drawing;
  LoadError loadError;
  if (!loadDrawing(dxfPath, drawing, loadError)) {
    error = loadError.text;
    return false;
  }
  if (tab != 0 && (static_cast<std::size_t>(tab) >= drawing.layouts.size() ||
                   !drawing.layouts[static_cast<std::size_t>(tab)].present)) {
    error = "the drawing has no tab " + std::to_string(tab);
    return false;
  }
  return writePdf(drawing, tab, outPath, error);
}

}  // namespace viewer
