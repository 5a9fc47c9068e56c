#pragma once
// A loaded drawing as the viewer keeps it: no entity objects, only what each block, model
// space and each layout draws, as instruction programs that the GL layer compiles into one
// display list each (and a recording backend replays in tests), plus the tables the views
// need: layers, view records, layouts, the glyph set and the points.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace viewer {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// Colour fractions 0..1.
struct Rgb {
  float r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// One step of a program. Which fields a step uses depends on its kind.
enum class OpKind : std::uint8_t {
  push,       // save the transformation
  pop,        // restore it
  translate,  // by (x, y, z)
  scale,      // by (x, y, z)
  rotate,     // by w degrees about the axis (x, y, z)
  colour,     // r, g, b in x, y, z
  points,     // vertices [first, first + count), one pixel each
  lineStrip,  // vertices [first, first + count), open
  lineLoop,   // the same, closed
  quad,       // filled quadrilateral: vertices [first, first + 4) in drawing order
  triangles,  // filled triangles: vertices [first, first + count), count a multiple of 3
  area,       // filled area, odd winding rule: contours [first, first + count)
  spline,     // cubic curve: control points = vertices [first, first + count),
              // knots = knots [first2, first2 + count2), always count + 4 of them
  text,       // glyph indices text [first, first + count), laid out from the origin;
              // a TEXT's alignment, which only print honours: first2 horizontal (72: 0 left,
              // 1 centre, 2 right, 3 aligned, 4 middle, 5 fit), count2 vertical (73:
              // 0 baseline, 1 bottom, 2 middle, 3 top), (x, y, z) the alignment point in
              // the frame the text is laid out in (first point at the origin, height 1);
              // all 0 for a TEXT placed at its first point and for MTEXT
  callBlock,  // the program of block `first`
};

struct Op {
  OpKind kind;
  std::uint32_t first = 0, count = 0, first2 = 0, count2 = 0;
  double x = 0, y = 0, z = 0, w = 0;
};

// A run of vertices of a program.
struct Span {
  std::uint32_t first = 0, count = 0;
};

struct Program {
  std::vector<Op> ops;
  std::vector<Vec3> vertices;
  std::vector<Span> contours;
  std::vector<double> knots;
  std::vector<std::uint32_t> text;  // indices into Drawing::glyphs
  bool empty() const { return ops.empty(); }
};

struct Layer {
  std::string name;  // as written (case kept); looked up without case
  Rgb colour;
};

struct Block {
  std::string name;
  std::uint32_t owner = 0;  // handle of its block record (330)
  bool compiled = false;    // anonymous blocks (70 = 1) and blocks without 70 draw nothing
  Program program;
};

// View record 0 is the model view (VPORT table); 1.. are the paper-space viewports.
// The model view's width and height are those of the saved view, 40 × 41 by 40: the window
// that first shows the drawing sets the height to its own proportions (height = window
// height × width / window width), so that the saved view's full width is seen.
struct ViewRecord {
  std::uint32_t owner = 0;                  // 330
  double centreX = 0, centreY = 0;          // 10, 20: centre on the paper
  double width = 0, height = 0;             // 40, 41
  double viewCentreX = 0, viewCentreY = 0;  // 12, 22
  Vec3 direction;                           // 16, 26, 36
  Vec3 target;                              // 17, 27, 37
  double viewHeight = 0;                    // 45
  double twist = 0;                         // 51, degrees
};

// Layout `k` has tab order k; layout 0 is the model tab.
struct Layout {
  bool present = false;
  std::string name;               // 1
  std::uint32_t blockRecord = 0;  // 330
  std::string pageName;           // 2
  std::string paperName;          // 4
  double margin41 = 0, margin42 = 0;
  double paperWidth = 0, paperHeight = 0;                                 // 44, 45
  double scaleNumerator = 1, scaleDenominator = 1;                        // 142, 143
  double scaleFactor = 1;                                                 // 147
  double limitsMinX = 0, limitsMinY = 0, limitsMaxX = 0, limitsMaxY = 0;  // 10, 20, 11, 21
};

struct DrawingPoint {
  Vec3 position;
  std::uint32_t colour = 0;  // 0x00BBGGRR
};

// The standard colour index palette with the viewer's own entries, 0x00BBGGRR.
extern const std::array<std::uint32_t, 256> kColourTable;

struct Drawing {
  std::string path;
  std::vector<Layer> layers;
  std::vector<Block> blocks;
  Program modelSpace;             // the ENTITIES section (67 = 1 left out)
  std::vector<ViewRecord> views;  // at least the model view
  std::vector<Layout> layouts;    // index = tab order; [0] the model tab
  std::vector<char32_t> glyphs;   // distinct characters of all texts, first seen first
  // The POINTs of model space.
  std::vector<DrawingPoint> points;
  int pointMode = 35;
  double pointSize = -5;
  bool hasModelView = false;  // a VPORT entry was read
  // Entities read, by kind (LINE, LWPOLYLINE, …), for --info.
  std::vector<std::pair<std::string, long long>> entityCounts;
  // Faults met and mended (an unknown block, a block inserting itself, …), one line each.
  std::vector<std::string> notes;

  int blockIndex(const std::string& name) const;  // -1 when there is none (no case)
  int layerIndex(const std::string& name) const;
  // The block of a block record handle (layouts' paper space), -1 when there is none.
  int blockOfOwner(std::uint32_t owner) const;
};

// Why a file was not loaded: a message box's caption and text ("警告",
// "ファイルが見つかりません").
struct LoadError {
  std::string caption, text;
};

// Reads `path` into `drawing`, replacing what it held. On failure returns false with the
// reason in `error` and leaves `drawing` as it was.
bool loadDrawing(const std::string& path, Drawing& drawing, LoadError& error);

}  // namespace viewer
