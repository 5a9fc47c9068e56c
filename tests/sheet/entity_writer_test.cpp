#include "converter/sheet/entity_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/common/collected_sheet.h"

namespace {

using dxfio::Vertex;
using sheet::EntityWriter;

using Written = CollectedSheet;

TEST(EntityWriter, HeadsTakeHandlesInTurn) {
  Written w;
  w.out.modelHead("LINE", "002道路");
  w.out.paperHead("TEXT", "0");
  EXPECT_EQ(w.sink.notation(),
            "0=LINE;5=1D3;330=13;100=AcDbEntity;8=002道路;"
            "0=TEXT;5=1D4;330=14;67=1;100=AcDbEntity;8=0");
  EXPECT_EQ(w.dxf.nextHandle, 0x1D5u);
  EXPECT_EQ(w.out.entityCount(), 2);
}

TEST(EntityWriter, Forms) {
  struct Case {
    const char* name;
    void (*write)(EntityWriter&);
    const char* expected;  // from the handle on
  };
  const Case cases[] = {
      {"closed polyline drops the repeated vertex",
       [](EntityWriter& o) {
         o.lwpolyline("L", std::vector<Vertex>{{1, 2}, {3, 4}, {5, 6}, {1, 2}});
       },
       "330=13;100=AcDbEntity;8=L;100=AcDbPolyline;90=3;70=1;38=0;10=1;20=2;10=3;20=4;10=5;20=6"},
      {"road: lineweight before, width after the subclass",
       [](EntityWriter& o) {
         sheet::PolylineStyle road;
         road.lineweight = 0;
         road.width = 2.5;
         o.lwpolyline("R", std::vector<Vertex>{{0, 0}, {1, 0}}, road);
       },
       "330=13;100=AcDbEntity;8=R;370=0;100=AcDbPolyline;90=2;70=0;43=2.5;38=0;10=0;20=0;10=1;20=0"},
      {"insert scales x and y alike",
       [](EntityWriter& o) {
         o.insert("P", "標高点", {10, 20, 3.5}, 0.5);
       },
       "330=13;100=AcDbEntity;8=P;100=AcDbBlockReference;2=標高点;10=10;20=20;30=3.5;41=0.5;42=0.5"},
      {"mtext writes only what is given, in group order",
       [](EntityWriter& o) {
         sheet::MText t;
         t.x = 1;
         t.y = 2;
         t.height = 3;
         t.attachment = 4;
         t.value = "abc";
         t.xAxis = Vertex{1, 0};
         t.lineSpacing = 1;
         o.mtext("T", t, geo::Colour{7, 16711422});
       },
       "330=13;100=AcDbEntity;8=T;62=7;420=16711422;100=AcDbMText;10=1;20=2;30=0;40=3;71=4;1=abc;11=1;21=0;31=0;"
       "73=1;44=1"},
      {"hatch edges close back to the first vertex",
       [](EntityWriter& o) {
         o.hatchStart("H", 1, geo::Colour{3, std::nullopt});
         o.hatchRing(sheet::HatchRing::outer, std::vector<Vertex>{{0, 0}, {1, 0}, {1, 1}});
         o.hatchEnd();
       },
       "330=13;100=AcDbEntity;8=H;62=3;100=AcDbHatch;10=0;20=0;30=0;210=0;220=0;230=1;2=SOLID;70=1;71=0;91=1;92=1;"
       "93=3;72=1;10=0;20=0;11=1;21=0;72=1;10=1;20=0;11=1;21=1;72=1;10=1;20=1;11=0;21=0;97=0;75=0;76=1;98=1;10=0;20=0"},
      {"text with an alignment point",
       [](EntityWriter& o) {
         o.textStart("T", {1, 2, 0}, 30);
         o.dxf().pair(1, "北");
         o.textAlignment({1, 2, 0});
         o.textEnd(2);
       },
       "330=13;100=AcDbEntity;8=T;100=AcDbText;10=1;20=2;30=0;40=30;1=北;11=1;21=2;31=0;100=AcDbText;73=2"},
      {"face repeats nothing itself",
       [](EntityWriter& o) {
         o.face("M", {{0, 0, 1}, {1, 0, 2}, {1, 1, 3}, {1, 1, 3}});
       },
       "330=13;100=AcDbEntity;8=M;100=AcDbFace;10=0;20=0;30=1;11=1;21=0;31=2;12=1;22=1;32=3;13=1;23=1;33=3"},
      {"paper-space solid with a colour",
       [](EntityWriter& o) {
         o.solid("S", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, true, geo::Colour{5, std::nullopt});
       },
       "330=14;67=1;100=AcDbEntity;8=S;62=5;100=AcDbTrace;10=0;20=0;30=0;11=1;21=0;31=0;12=0;22=1;32=0;13=1;23=1;33=0"},
  };
  for (const auto& c : cases) {
    Written w;
    c.write(w.out);
    EXPECT_EQ(w.sink.notation(2), c.expected) << c.name;
  }
}

TEST(EntityWriter, APointIsNoLine) {
  Written w;
  EXPECT_FALSE(w.out.lwpolyline("L", std::vector<Vertex>{{1, 2}}));
  EXPECT_TRUE(w.sink.groups.empty());
}

}  // namespace
