// Each entity kind as the ops of its program.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/text_codec.h"
#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;
using viewer::OpKind;

namespace {

const std::string kLayers = layerTable({"A|1"});

struct KindCase {
  const char* name;
  std::string entities;  // pairs of the ENTITIES section
  const char* ops;       // the model space, described
};

const KindCase kKinds[] = {
    {"line", "0|LINE|8|A|10|1|20|2|30|3|11|4|21|5|31|6", "push; colour(1 0 0); lineStrip(1 2 3, 4 5 6); pop"},
    // A vertex keeps the coordinates it lacks from the one before, the first from the
    // POLYLINE's own point; SEQEND's pairs are passed over.
    {"closed polyline",
     "0|POLYLINE|8|A|66|1|10|0|20|0|30|7|70|1|0|VERTEX|8|A|10|1|20|1|0|VERTEX|8|A|10|2|20|1|30|8|0|VERTEX|8|A|20|3|0|"
     "SEQEND|8|A|0|LINE|8|A|11|1",
     "push; colour(1 0 0); lineLoop(1 1 7, 2 1 8, 2 3 8); pop; push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"open polyline", "0|POLYLINE|8|A|70|8|0|VERTEX|10|1|20|1|30|1|0|VERTEX|10|2|20|2|30|2|0|SEQEND",
     "push; colour(1 0 0); lineStrip(1 1 1, 2 2 2); pop"},
    {"open lwpolyline", "0|LWPOLYLINE|8|A|90|3|70|0|43|0|10|0|20|0|10|5|20|0|10|5|20|5",
     "push; colour(1 0 0); lineStrip(0 0 0, 5 0 0, 5 5 0); pop"},
    // Any 70 but 0 closes it; without 43 the vertices lie at height 1.
    {"closed lwpolyline", "0|LWPOLYLINE|8|A|90|3|70|128|10|0|20|0|10|5|20|0|10|5|20|5",
     "push; colour(1 0 0); lineLoop(0 0 1, 5 0 1, 5 5 1); pop"},
    {"lwpolyline without 90", "0|LWPOLYLINE|8|A|70|0|10|0|20|0|10|5|20|0", ""},
    {"spline",
     "0|SPLINE|8|A|70|8|71|3|72|8|73|4|74|0|40|0|40|0|40|0|40|0|40|1|40|1|40|1|40|1|10|0|20|0|30|0|10|1|20|2|30|0|10|"
     "3|20|2|30|0|10|4|20|0|30|1",
     "push; colour(1 0 0); spline(0 0 0, 1 2 0, 3 2 0, 4 0 1; knots 0 0 0 0 1 1 1 1); pop"},
    {"xline", "0|XLINE|8|A|10|1|20|2|30|0|11|1|21|0|31|0",
     "push; colour(1 0 0); lineStrip(-1e+10 2 0, 1e+10 2 0); pop"},
    {"ray", "0|RAY|8|A|10|1|20|2|30|0|11|0|21|1|31|0", "push; colour(1 0 0); lineStrip(1 2 0, 1 1e+10 0); pop"},
    {"mline draws nothing", "0|MLINE|8|A|10|1|20|2|30|0|11|0|21|1|31|0", ""},
    {"solid in the order 10 11 13 12", "0|SOLID|8|A|10|0|20|0|11|1|21|0|12|0|22|1|13|1|23|1",
     "push; colour(1 0 0); quad(0 0 0, 1 0 0, 1 1 0, 0 1 0); pop"},
    {"text", "0|TEXT|8|A|10|1|20|2|30|0|40|2.5|1|Ab|50|30|72|1|11|9|21|9",
     "push; colour(1 0 0); translate(1 2 0); scale(2.5 2.5 2.5); rotate(30 about 0 0 1); text(\"Ab\"); pop"},
    {"empty text", "0|TEXT|8|A|10|1|20|2|30|0|40|2|1|", ""},
    // Moved down by its height, turned to its direction.
    {"mtext", "0|MTEXT|8|A|10|1|20|10|30|0|40|2|11|0|21|1|31|0|1|地図",
     "push; colour(1 0 0); translate(1 8 0); scale(2 2 2); rotate(90 about 0 0 1); text(\"地図\"); pop"},
    {"3dface", "0|3DFACE|8|A|10|0|20|0|30|1|11|1|21|0|31|1|12|1|22|1|32|1|13|0|23|1|33|1",
     "push; colour(1 0 0); triangles(0 0 1, 1 0 1, 1 1 1, 1 1 1, 0 1 1, 0 0 1); pop"},
    {"3dface triangle", "0|3DFACE|8|A|10|0|20|0|11|1|21|0|12|1|22|1|13|1|23|1",
     "push; colour(1 0 0); triangles(0 0 0, 1 0 0, 1 1 0); pop"},
    // Line edges give their start points, at the hatch's elevation; 97 ends a contour.
    {"hatch of line edges",
     "0|HATCH|8|A|10|0|20|0|30|5|210|0|220|0|230|1|2|SOLID|70|1|71|0|91|2|92|1|93|3|72|1|10|0|20|0|11|4|21|0|72|1|10|"
     "4|20|0|11|4|21|4|72|1|10|4|20|4|11|0|21|0|97|0|92|16|93|3|72|1|10|1|20|1|11|2|21|1|72|1|10|2|20|1|11|2|21|2|72|"
     "1|10|2|20|2|11|1|21|1|97|0|75|0|76|1|98|1|10|0|20|0",
     "push; colour(1 0 0); area(0 0 5, 4 0 5, 4 4 5 | 1 1 5, 2 1 5, 2 2 5); pop"},
    {"hatch of a polyline path draws nothing",
     "0|HATCH|8|A|10|0|20|0|30|0|2|SOLID|70|1|91|1|92|2|72|0|73|1|93|3|10|0|20|0|10|1|20|0|10|1|20|1|97|0|75|0", ""},
    // The plane leans by the angle between z and N, about z × N.
    {"extrusion", "0|LINE|8|A|10|0|20|0|11|1|21|0|210|0|220|-1|230|0",
     "push; colour(1 0 0); rotate(90 about 1 0 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"extrusion straight down turns nothing", "0|LINE|8|A|10|0|20|0|11|1|21|0|210|0|220|0|230|-1",
     "push; colour(1 0 0); lineStrip(0 0 0, 1 0 0); pop"},
    {"text placed after its extrusion", "0|TEXT|8|A|10|1|20|2|40|1|1|x|210|1|220|0|230|1",
     "push; colour(1 0 0); rotate(45 about 0 1 0); translate(1 2 0); scale(1 1 1); rotate(0 about 0 0 1); "
     "text(\"x\"); pop"},
    {"hatch ignores its extrusion",
     "0|HATCH|8|A|30|0|210|1|220|0|230|0|91|1|92|1|93|3|72|1|10|0|20|0|11|1|21|0|72|1|10|1|20|0|11|1|21|1|72|1|10|1|20|"
     "1|11|0|21|0|97|0|75|0",
     "push; colour(1 0 0); area(0 0 0, 1 0 0, 1 1 0); pop"},
    {"kinds outside the list", "0|ATTRIB|8|A|10|1|20|1|1|x|0|VIEWPORT|8|A|10|1|0|DIMENSION|8|A", ""},
};

TEST(EntityOps, EveryKindDrawsItsOps) {
  TempFolder temp;
  for (const auto& c : kKinds) {
    SCOPED_TRACE(c.name);
    // A file that names no code page is CP932.
    auto l = loadText(temp, platform::utf8ToCp932(kLayers + entitiesSection(c.entities) + kEof));
    ASSERT_TRUE(l.ok) << l.error.text;
    EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing), c.ops);
  }
}

TEST(EntityOps, InsertCallsItsBlockWhoseEntitiesTakeNoColour) {
  TempFolder temp;
  const std::string blocks = pairs(
      "0|SECTION|2|BLOCKS|0|BLOCK|8|0|2|Mark|70|0|10|0|20|0|0|LINE|8|A|62|3|10|0|20|0|11|1|21|1|0|ENDBLK|0|ENDSEC");
  auto l = loadText(temp, kLayers + blocks +
                              entitiesSection("0|INSERT|8|A|2|MARK|10|1|20|2|30|0|41|2|42|3|43|1|50|45|0|INSERT|8|A|2|"
                                              "mark|210|0|220|1|230|1") +
                              kEof);
  ASSERT_TRUE(l.ok) << l.error.text;
  EXPECT_EQ(describe(l.drawing.modelSpace, l.drawing),
            "push; colour(1 0 0); translate(1 2 0); scale(2 3 1); rotate(45 about 0 0 1); callBlock(Mark); pop; "
            "push; colour(1 0 0); rotate(45 about -1 0 0); translate(0 0 0); scale(1 1 1); rotate(0 about 0 0 1); "
            "callBlock(Mark); pop");
  ASSERT_EQ(l.drawing.blocks.size(), 1u);
  EXPECT_TRUE(l.drawing.blocks[0].compiled);
  EXPECT_EQ(describe(l.drawing.blocks[0].program, l.drawing), "push; lineStrip(0 0 0, 1 1 0); pop");
}

double distance(const viewer::Vec3& a, double x, double y) { return std::hypot(a.x - x, a.y - y); }

TEST(EntityOps, CirclesArcsAndEllipsesAsPointLines) {
  TempFolder temp;
  auto l = loadText(temp, kLayers +
                              entitiesSection("0|CIRCLE|8|A|10|1|20|1|30|4|40|2|"
                                              "0|ARC|8|A|10|0|20|0|40|1|50|350|51|10|"
                                              "0|ELLIPSE|8|A|10|0|20|0|11|2|21|0|40|0.5|41|0|42|3.141592653589793|"
                                              "0|ELLIPSE|8|A|10|0|20|0|11|2|21|0|40|0.5|41|0|42|3.141592653589793|"
                                              "210|0|220|0|230|-1|"
                                              "0|ELLIPSE|8|A|10|0|20|0|11|2|21|0|40|0.5|41|6|42|1") +
                              kEof);
  ASSERT_TRUE(l.ok) << l.error.text;
  const auto& p = l.drawing.modelSpace;
  std::vector<viewer::Op> shapes;
  for (const auto& op : p.ops)
    if (op.kind == OpKind::lineLoop || op.kind == OpKind::lineStrip) shapes.push_back(op);
  ASSERT_EQ(shapes.size(), 5u);

  // Circle: 32 points from the top, clockwise by sin/cos, at the centre's height.
  ASSERT_EQ(shapes[0].kind, OpKind::lineLoop);
  ASSERT_EQ(shapes[0].count, 32u);
  const auto* c = &p.vertices[shapes[0].first];
  EXPECT_EQ(vertex(c[0]), "1 3 4");
  EXPECT_EQ(vertex(c[8]), "3 1 4");
  for (int i = 0; i < 32; ++i) EXPECT_NEAR(distance(c[i], 1, 1), 2, 1e-12);

  // Arc from 350° through 0° to 10°, 33 points.
  ASSERT_EQ(shapes[1].kind, OpKind::lineStrip);
  ASSERT_EQ(shapes[1].count, 33u);
  const auto* a = &p.vertices[shapes[1].first];
  EXPECT_NEAR(std::atan2(a[0].y, a[0].x) * 180 / M_PI, -10, 1e-9);
  EXPECT_EQ(vertex(a[16]), "1 0 0");
  EXPECT_NEAR(std::atan2(a[32].y, a[32].x) * 180 / M_PI, 10, 1e-9);

  // Half an ellipse: the minor axis is N × major times the ratio, so it turns over with N.
  for (int e = 2; e <= 3; ++e) {
    ASSERT_EQ(shapes[e].count, 33u);
    const auto* v = &p.vertices[shapes[e].first];
    EXPECT_EQ(vertex(v[0]), "2 0 0");
    EXPECT_EQ(vertex(v[16]), e == 2 ? "0 1 0" : "0 -1 0");
    EXPECT_EQ(vertex(v[32]), "-2 0 0");
  }
  // An end parameter below the start goes on through 0.
  const auto* w = &p.vertices[shapes[4].first];
  EXPECT_NEAR(std::atan2(w[0].y * 2, w[0].x), 6 - 2 * M_PI, 1e-9);
  EXPECT_NEAR(std::atan2(w[32].y * 2, w[32].x), 1, 1e-9);
  // The ellipse has no extrusion rotation of its own.
  for (const auto& op : p.ops) EXPECT_NE(op.kind, OpKind::rotate);
}

// A TEXT's alignment rides on its text op for print only: the ops the screen draws are those
// of the same TEXT without the alignment groups.
TEST(EntityOps, TextAlignmentIsKeptBesideAnUnchangedPlacement) {
  struct Case {
    const char* name;
    std::string text, alignment;  // the TEXT's own pairs, then its alignment pairs
    std::uint32_t horizontal, vertical;
    double x, y, z;  // the alignment point in the text's frame
  };
  const Case cases[] = {
      {"none", "10|1|20|2|40|2|1|Ab", "", 0, 0, 0, 0, 0},
      {"right and bottom", "10|1|20|2|40|2|1|Ab", "72|2|73|1|11|9|21|2", 2, 1, 4, 0, 0},
      {"top, turned a quarter", "10|0|20|0|40|2|50|90|1|Ab", "73|3|11|0|21|4", 0, 3, 2, 0, 0},
      {"centre and middle, lifted", "10|1|20|2|30|1|40|2|1|Ab", "72|1|73|2|11|3|21|4|31|3", 1, 2, 1, 1, 1},
      {"fit", "10|1|20|2|40|2|1|Ab", "72|5|11|11|21|2", 5, 0, 5, 0, 0},
      {"aligned without its point", "10|1|20|2|40|2|1|Ab", "72|3", 3, 0, 0, 0, 0},
      {"codes out of range", "10|1|20|2|40|2|1|Ab", "72|7|73|-1|11|9|21|2", 0, 0, 0, 0, 0},
      {"a point alone aligns nothing", "10|1|20|2|40|2|1|Ab", "11|9|21|2", 0, 0, 0, 0, 0},
      {"mtext has none", "10|1|20|2|40|2|1|Ab|11|1|21|0", "72|2|73|1", 0, 0, 0, 0, 0},
  };
  TempFolder temp;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string type = std::string_view(c.name) == "mtext has none" ? "MTEXT" : "TEXT";
    const std::string head = "0|" + type + "|8|A|" + c.text;
    auto plain = loadText(temp, kLayers + entitiesSection(head) + kEof);
    auto aligned =
        loadText(temp, kLayers + entitiesSection(c.alignment.empty() ? head : head + "|" + c.alignment) + kEof);
    ASSERT_TRUE(plain.ok && aligned.ok);
    EXPECT_EQ(describe(aligned.drawing.modelSpace, aligned.drawing), describe(plain.drawing.modelSpace, plain.drawing));
    const auto& ops = aligned.drawing.modelSpace.ops;
    ASSERT_FALSE(ops.empty());
    const auto& text = ops[ops.size() - 2];  // before the pop
    ASSERT_EQ(text.kind, OpKind::text);
    EXPECT_EQ(text.first2, c.horizontal);
    EXPECT_EQ(text.count2, c.vertical);
    EXPECT_NEAR(text.x, c.x, 1e-12);
    EXPECT_NEAR(text.y, c.y, 1e-12);
    EXPECT_NEAR(text.z, c.z, 1e-12);
    EXPECT_EQ(text.w, 0);
  }
}

TEST(EntityOps, PointsGoToThePointListInTheirColour) {
  TempFolder temp;
  auto l = loadText(temp, kLayers +
                              entitiesSection("0|POINT|8|A|10|1|20|2|30|3|"
                                              "0|POINT|8|A|62|5|10|4|20|5|"
                                              "0|POINT|8|A|62|5|420|1056816|10|6|20|7|"
                                              "0|POINT|8|A|67|1|10|8|20|9") +
                              kEof);
  ASSERT_TRUE(l.ok) << l.error.text;
  EXPECT_TRUE(l.drawing.modelSpace.empty());
  ASSERT_EQ(l.drawing.points.size(), 3u);  // the paper-space point is no model-space point
  EXPECT_EQ(vertex(l.drawing.points[0].position), "1 2 3");
  EXPECT_EQ(l.drawing.points[0].colour, 0x0000FFu);  // the layer's red
  EXPECT_EQ(l.drawing.points[1].colour, 0xFF0000u);  // index 5, blue
  EXPECT_EQ(l.drawing.points[2].colour, 0x302010u);  // 420 = 0x102030 as 0x00BBGGRR
}

}  // namespace
