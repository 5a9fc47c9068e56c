#pragma once
// The entity forms that several producers write into a sheet, with their flavour rules:
// heads, TEXT, MTEXT, INSERT, LWPOLYLINE, HATCH, 3DFACE and SOLID. DXF x is the plane Y
// (easting) and DXF y the plane X (northing); callers pass DXF x and y.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "converter/geo/colour_legend.h"
#include "converter/geo/flavour.h"
#include "dxfio/dxf_writer.h"

namespace sheet {

// Handles every sheet has in the same place.
inline constexpr std::uint32_t kFirstProducerHandle = 0x1D3;
inline constexpr std::uint32_t kModelSpaceRecord = 0x13;
inline constexpr std::uint32_t kPaperSpaceRecord = 0x14;

// 0=type; 5=handle; 330=owner; [67=1 in paper space;] 100=AcDbEntity; 8=layer.
void entityHead(dxfio::DxfWriter& dxf, std::string_view type, std::uint32_t handle, std::uint32_t owner,
                std::string_view layer, bool paper = false);

struct Point3 {
  double x, y, z;
};

// MTEXT in group order; pairs left empty are not written.
struct MText {
  double x = 0, y = 0, z = 0;
  double height = 0;
  std::optional<double> width;         // 41, reference rectangle width
  std::optional<int> attachment;       // 71
  std::optional<int> direction;        // 72, drawing direction
  std::string value;                   // 1
  std::optional<dxfio::Vertex> xAxis;  // 11, 21 (and 31=0): the text direction
  std::optional<int> lineSpacing;      // 73, with 44=1
};

// LWPOLYLINE options in group order around the subclass marker.
struct PolylineStyle {
  std::optional<int> lineweight;        // 370 before the subclass
  std::optional<double> linetypeScale;  // 48 before the subclass
  std::optional<double> width;          // 43, constant width
  double elevation = 0;                 // 38
};

enum class HatchRing { outer = 1, hole = 16 };

class EntityWriter {
 public:
  EntityWriter(dxfio::DxfWriter& dxf, geo::Flavour flavour) : dxf_(dxf), flavour_(flavour) {}

  dxfio::DxfWriter& dxf() { return dxf_; }
  geo::Flavour flavour() const { return flavour_; }
  // Entities this writer has begun.
  long long entityCount() const { return entities_; }

  // 0=type; 5=handle; 330=13; 100=AcDbEntity; 8=layer.
  void modelHead(std::string_view type, std::string_view layer);
  // The same with 330=14 and 67=1 before the layer.
  void paperHead(std::string_view type, std::string_view layer);
  // 62 and, where the colour has one, 420.
  void colour(const geo::Colour& colour);

  // A model-space TEXT up to its height: head, subclass, 10/20/30 and 40. The caller
  // writes the value and the groups of its flavour, then ends it with textEnd.
  void textStart(std::string_view layer, Point3 at, double height);
  // 11/21/31: the alignment point.
  void textAlignment(Point3 at);
  // The second subclass marker and, when given, 73 (vertical alignment).
  void textEnd(std::optional<int> verticalAlignment = std::nullopt);

  // A model-space MTEXT, with an optional colour before its subclass.
  void mtext(std::string_view layer, const MText& text, const std::optional<geo::Colour>& colour = std::nullopt);

  // An INSERT of a library block scaled alike in x and y (41, 42); without a scale, at
  // the block's own size.
  void insert(std::string_view layer, std::string_view block, Point3 at, std::optional<double> scale = std::nullopt);

  // An LWPOLYLINE at elevation 0: closed when its first and last vertices are equal (the
  // last is then left out). Fewer than two vertices write nothing; false then.
  bool lwpolyline(std::string_view layer, std::span<const dxfio::Vertex> vertices, const PolylineStyle& style = {});
  // The same with the closure given; every vertex is written.
  void lwpolyline(std::string_view layer, std::span<const dxfio::Vertex> vertices, bool closed,
                  const PolylineStyle& style = {});

  // A solid-filled HATCH of `rings` boundary paths, each written with hatchRing.
  void hatchStart(std::string_view layer, long long rings, const std::optional<geo::Colour>& colour = std::nullopt,
                  double elevation = 0);
  // One boundary path of line edges through the vertices, closing back to the first.
  void hatchRing(HatchRing kind, std::span<const dxfio::Vertex> ring);
  void hatchEnd();

  // A LINE with the continuous line type.
  void line(std::string_view layer, Point3 from, Point3 to);

  // A 3DFACE through four corners (a triangle repeats its third corner).
  void face(std::string_view layer, const Point3 (&corners)[4]);
  // A SOLID (filled quadrilateral, corners in DXF order: 1, 2, 3, 4 with 3 and 4 swapped
  // against the outline), in model or paper space, with an optional colour.
  void solid(std::string_view layer, const Point3 (&corners)[4], bool paper,
             const std::optional<geo::Colour>& colour = std::nullopt);

 private:
  // x, y and z of a point under the code of x (10: 10, 20, 30).
  void point(int xCode, Point3 at);
  void corners(const Point3 (&corners)[4]);
  dxfio::DxfWriter& dxf_;
  geo::Flavour flavour_;
  long long entities_ = 0;
  std::vector<std::string> xs_, ys_;
};

}  // namespace sheet
