// Drawings written by an independent writer (ezdxf) in four releases and two code pages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/text.h"
#include "tests/viewer/dxf_fixture.h"

using namespace viewer_test;
using viewer::OpKind;

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int countOps(const viewer::Program& p, OpKind kind) {
  int n = 0;
  for (const auto& op : p.ops) n += op.kind == kind;
  return n;
}

TEST(EzdxfFiles, EveryReleaseAndCodePageReadsAlike) {
  TempFolder temp;
  const std::string command = "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) +
                              "/tests/viewer/ezdxf_drawings.py' '" + temp.path().string() + "'";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "ezdxf for /usr/bin/python3 is not installed";

  for (const char* name : {"R12", "R2000", "R2004", "R2010", "R2000-932", "R2004-932"}) {
    SCOPED_TRACE(name);
    const std::string release(name, 0, std::string(name).find('-'));
    const bool r12 = release == "R12", trueColour = release == "R2004" || release == "R2010";
    viewer::Drawing d;
    viewer::LoadError error;
    ASSERT_TRUE(viewer::loadDrawing((temp / (std::string(name) + ".dxf")).string(), d, error)) << error.text;
    EXPECT_TRUE(d.notes.empty()) << notes(d);
    EXPECT_TRUE(d.hasModelView);

    for (const char* kind : {"LINE", "CIRCLE", "ARC", "TEXT", "POINT", "3DFACE", "SOLID", "INSERT"})
      EXPECT_GE(countOf(d, kind), 1) << kind;
    for (const char* kind : {"LWPOLYLINE", "MTEXT", "ELLIPSE", "HATCH", "SPLINE"})
      EXPECT_EQ(countOf(d, kind), r12 ? 0 : 1) << kind;
    EXPECT_EQ(countOf(d, "POLYLINE"), r12 ? 1 : 0);
    EXPECT_EQ(countOf(d, "VERTEX"), 0);  // read with their POLYLINE

    const auto& m = d.modelSpace;
    const std::string ops = describe(m, d);
    EXPECT_TRUE(has(ops, "push; colour(1 0 0); lineStrip(0 0 0, 10 5 0); pop")) << ops;
    EXPECT_TRUE(has(ops, "push; colour(0 1 0); lineLoop(5 7 0, ")) << ops;  // on layer 地図
    EXPECT_TRUE(has(ops, "translate(1 2 0); scale(2.5 2.5 2.5); rotate(30 about 0 0 1); text(\"地図 Map\")")) << ops;
    EXPECT_TRUE(has(ops, "colour(1 0 1); translate(20 10 0); scale(2 2 1); rotate(90 about 0 0 1); callBlock(Outer)"))
        << ops;
    EXPECT_TRUE(has(ops, "triangles(0 0 1, 1 0 1, 1 1 1, 1 1 1, 0 1 1, 0 0 1)")) << ops;
    EXPECT_TRUE(has(ops, "quad(0 0 0, 1 0 0, 1 1 0, 0 1 0)")) << ops;
    // An LWPOLYLINE without 43 lies at height 1.
    EXPECT_TRUE(has(ops, r12 ? "lineLoop(0 0 0, 4 0 0, 4 4 0)" : "lineLoop(0 0 1, 4 0 1, 4 4 1)")) << ops;
    EXPECT_EQ(countOps(m, OpKind::text), r12 ? 1 : 2);
    EXPECT_EQ(countOps(m, OpKind::area), r12 ? 0 : 1);
    EXPECT_EQ(countOps(m, OpKind::spline), r12 ? 0 : 1);
    if (!r12) {
      EXPECT_TRUE(has(ops, "text(\"地図\")")) << ops;
      EXPECT_TRUE(has(ops, "area(0 0 0, 10 0 0, 10 10 0)")) << ops;
      EXPECT_TRUE(has(ops, "spline(0 0 0, 1 2 0, 3 2 0, 4 0 0; knots 0 0 0 0 1 1 1 1)")) << ops;
    }
    EXPECT_EQ(has(ops, "colour(0.0627451 0.12549 0.188235); lineStrip(0 0 0, 1 1 0)"), trueColour) << ops;

    ASSERT_EQ(d.points.size(), 1u);
    EXPECT_EQ(vertex(d.points[0].position), "7 8 9");
    EXPECT_EQ(d.points[0].colour, 0xFF0000u);

    EXPECT_GE(d.layerIndex("地図"), 0);
    const int outer = d.blockIndex("outer"), mark = d.blockIndex("Mark");
    ASSERT_GE(outer, 0);
    ASSERT_GE(mark, 0);
    EXPECT_EQ(describe(d.blocks[outer].program, d),
              "push; translate(2 0 0); scale(1 1 1); rotate(0 about 0 0 1); callBlock(Mark); pop");
    EXPECT_EQ(countOps(d.blocks[mark].program, OpKind::lineLoop), 1);
    EXPECT_EQ(countOps(d.blocks[mark].program, OpKind::colour), 0);
    EXPECT_EQ(std::u32string(d.glyphs.begin(), d.glyphs.end()), U"地図 Map");

    if (r12) {
      EXPECT_EQ(d.layouts.size(), 1u);
    } else {
      ASSERT_GE(d.layouts.size(), 2u);
      EXPECT_EQ(d.layouts[0].name, "Model");
      EXPECT_EQ(d.layouts[1].name, "Layout1");
      const int paper = d.blockOfOwner(d.layouts[1].blockRecord);
      ASSERT_GE(paper, 0);
      EXPECT_TRUE(platform::equalsNoCase(d.blocks[paper].name, "*Paper_Space"));
    }
  }
}

}  // namespace
