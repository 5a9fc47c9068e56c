#include <gtest/gtest.h>

#include "converter/settings/sheet_labels.h"

using namespace settings;

TEST(SheetLabels, RowLabels) {
  struct Case {
    int row;
    const char* sep;
    int rows;
    const char* expected;
  } cases[] = {
      {0, "_", 1, "A"},      {2, "_", 3, "C"},       {25, "", 26, "Z"},         {3, "_", 30, "_D"},
      {27, "_", 30, "AB"},   {26, "", 701, "AA"},    {700, "", 701, "ZY"},      {3, "_", 800, "__D"},
      {26, "_", 800, "_AA"}, {702, "_", 800, "AAA"}, {18276, "", 18277, "ZZY"}, {0, "_", 0, ""},
      {0, "_", 18278, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(rowst(c.row, c.sep, c.rows), c.expected) << c.row << "/" << c.rows;
}

TEST(SheetLabels, ColumnLabels) {
  EXPECT_EQ(colst(7, 10), "7");
  EXPECT_EQ(colst(7, 12), "07");
  EXPECT_EQ(colst(7, 101), "007");
  EXPECT_EQ(colst(7, 1001), "0007");
  EXPECT_EQ(colst(0, 1), "0");
}

TEST(SheetLabels, FileNamesAndLegendKeys) {
  std::filesystem::path folder = "out";
  EXPECT_EQ(sheetFileName(folder, "M", 0, 0, 1, 1), folder / "M.dxf");
  EXPECT_EQ(sheetFileName(folder, "M", 2, 1, 3, 2), folder / "MC1.dxf");
  EXPECT_EQ(sheetFileName(folder, "M", 3, 0, 30, 1), folder / "M_D0.dxf");
  EXPECT_EQ(indexFileName(folder, "M"), folder / "M#index.dxf");
  // The scripts name every sheet by its labels, a grid of one sheet too.
  EXPECT_EQ(sheetName("M", 2, 1, 3, 2, ".dwg"), "MC1.dwg");
  EXPECT_EQ(sheetName("地図", 0, 0, 1, 1, ""), "地図A0");
  EXPECT_EQ(legendKey(1, 12, 3), "B12");
  EXPECT_EQ(legendKey(3, 0, 30), "D0");
  EXPECT_EQ(pathText(sheetFileName(folder, "地図", 0, 0, 1, 1)), pathText(folder / utf8Path("地図.dxf")));
}
