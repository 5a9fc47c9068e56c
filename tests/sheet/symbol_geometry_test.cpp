#include "converter/sheet/symbol_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace sheet::symbol_geometry;

namespace {

std::string notation(const std::vector<dxfio::Group>& body) {
  std::string s;
  for (const auto& g : body) s += (s.empty() ? "" : ";") + std::to_string(g.code) + "=" + g.value;
  return s;
}

}  // namespace

TEST(SymbolGeometry, ArcThroughSweepsTheWayThatPassesTheMiddlePoint) {
  const double h = std::sqrt(0.5) * 10;
  struct Case {
    const char* name;
    Pt a, b, c;
    Pt middle;  // vertex 2 of 5
  } cases[] = {
      {"counter-clockwise over the top", {10, 0}, {0, 10}, {-10, 0}, {0, 10}},
      {"clockwise under the bottom", {10, 0}, {0, -10}, {-10, 0}, {0, -10}},
      // b beyond c the short way round: three quarters clockwise, the middle at −135°.
      {"the long way round", {10, 0}, {-10, 0}, {0, 10}, {-h, -h}},
      {"about an offset centre", {105, 20}, {100, 25}, {95, 20}, {100, 25}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto v = arcThrough(c.a, c.b, c.c, 5);
    ASSERT_EQ(v.size(), 5u);
    EXPECT_NEAR(v[2].x, c.middle.x, 1e-9);
    EXPECT_NEAR(v[2].y, c.middle.y, 1e-9);
    // The ends are the given points exactly, not their recomputed images on the circle.
    EXPECT_EQ(v.front().x, c.a.x);
    EXPECT_EQ(v.front().y, c.a.y);
    EXPECT_EQ(v.back().x, c.c.x);
    EXPECT_EQ(v.back().y, c.c.y);
  }
}

TEST(SymbolGeometry, EntityBodiesAreGroupsWithSixDecimals) {
  EXPECT_EQ(notation(line({1.23456789, -2}, {0.1 + 0.2, 4.5}).body),
            "100=AcDbLine;10=1.234568;20=-2;30=0;11=0.3;21=4.5;31=0");
  EXPECT_EQ(notation(polyline(mirrored({{1, 2}, {-3, 4}}), true).body),
            "100=AcDbPolyline;90=2;70=1;43=0.0;10=-1;20=2;10=3;20=4");
  EXPECT_EQ(notation(solid({0, 0}, {1, 0}, {0, 1}, {1, 1}).body),
            "100=AcDbTrace;10=0;20=0;30=0;11=1;21=0;31=0;12=0;22=1;32=0;13=1;23=1;33=0");
  EXPECT_EQ(line({0, 0}, {1, 1}).type, "LINE");
  EXPECT_EQ(dot({0, 0}, 1).type, "HATCH");
}
