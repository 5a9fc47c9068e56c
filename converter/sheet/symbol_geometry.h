#pragma once
// The drawing of the library symbols: curves in block units and the entities built from
// them. An entity is its type and the groups after its head (from the subclass marker
// on); the block writer adds the head. Coordinates are written with at most six decimals
// (see num), so a body does not depend on the last bit of a sine.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dxfio/dxf_writer.h"
#include "dxfio/group.h"

namespace sheet::symbol_geometry {

// DXF x and y in block units.
using Pt = dxfio::Vertex;

struct Entity {
  std::string_view type;
  std::vector<dxfio::Group> body;
};

// ---- Numbers and curves.

// v rounded to six decimals, in the shortest form ("15588.457268", "-9000").
std::string num(double v);
double rad(double degrees);

// n ≥ 2 vertices on the circle about c, evenly spaced in angle from `from` to `to`
// (radians; to < from runs clockwise).
std::vector<Pt> arcAbout(Pt c, double r, double from, double to, int n);
// n ≥ 2 vertices on the circle through a, b and c, evenly spaced in angle, from a through b
// to c; the end vertices are a and c themselves.
std::vector<Pt> arcThrough(Pt a, Pt b, Pt c, int n);
// The outline reflected in the y axis.
std::vector<Pt> mirrored(std::vector<Pt> v);
// Appends `from` without its last `dropLast` vertices (where the next piece starts).
void append(std::vector<Pt>& to, const std::vector<Pt>& from, std::size_t dropLast = 0);

// ---- Entities.

Entity line(Pt a, Pt b);
Entity circle(double r, Pt c = {0, 0});
// An LWPOLYLINE of every vertex given, closed or not.
Entity polyline(const std::vector<Pt>& vertices, bool closed);
// A filled disc: a solid HATCH bounded by one full circle, with its seed point at
// (c.x, seedY); the default seed lies 25 radii below the centre. A clockwise boundary
// runs from 180° to 540°.
Entity dot(Pt c, double r, double seedY, bool clockwise = false);
Entity dot(Pt c, double r);
// A SOLID from corners in record order (drawn 1-2-4-3), already written as text.
Entity solid(const std::array<std::pair<std::string, std::string>, 4>& corners);
Entity solid(Pt a, Pt b, Pt c, Pt d);
// A LINE along the ray at `degrees` from the origin, between the radii `from` and `to`.
Entity ray(double degrees, double from, double to);
// The bowl of the hot spring and the crater: an elliptical arc about (0, −17322.805484),
// semi-axes 30000 and 30000 × 0.422573, open at the top.
Entity bowl();
// The school-kind label under the 文 ("（大）"), starting at x.
Entity schoolText(std::string_view x, std::string_view text);

// ---- Drawings that several symbols share or that are computed.

// Central stroke with a cap over and a cup under it (two 13-vertex arcs, radius 18000).
std::vector<Entity> forestOffice();
// A stele with a semicircular top standing on a ground line (12 vertices).
std::vector<Pt> monumentOutline();
// A hull with a flat stern and a pointed bow of two tangent arcs (13 vertices, closed).
std::vector<Pt> boatOutline();
// A rising wave: x = x0 + 2400 sin(3π t), y from y0 to y1, n vertices evenly in t.
std::vector<Pt> steam(double x0, double y0, double y1, int n);
// A pick head: a thin rhombus across the handle at its upper end.
Entity pickHead(Pt bottom, Pt top);

enum class Stocks { two, one };
enum class Ring { open, solid };
// Anchor: shank, ring, stocks, two flukes and the 15-vertex arm arc.
std::vector<Entity> anchor(Stocks stocks, Ring ring);
// An open book on a slanted spine, every page edge a 9-vertex arc (35 vertices, ending
// where it starts).
std::vector<Pt> bookOutline();
// The walking stick of the old people's home: a shaft and a semicircular crook.
std::vector<Pt> caneOutline();
// Hub circle and eight teeth; the two horizontal teeth reach `horizontalReach`.
std::vector<Entity> gear(double horizontalReach);
// The 文 of the schools (without its circle) at the height and width given.
std::vector<Entity> schoolLines(double footX, double footY, double armX, double barX, double barY, double stemTop);
// Trunk and ground of the palm and the bamboo.
std::vector<Pt> palmTrunk();

}  // namespace sheet::symbol_geometry
