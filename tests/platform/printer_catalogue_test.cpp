#include "platform/printer_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace platform;

TEST(PrinterCatalogue, BuiltInPrinterOffersItsPapersInOrder) {
  const PrinterCatalogue catalogue;
  EXPECT_EQ(catalogue.printerNames(), (std::vector<std::string>{"Terralinea Paper"}));
  EXPECT_TRUE(catalogue.hasPrinter(PrinterCatalogue::builtInName()));
  const auto papers = catalogue.papers("Terralinea Paper");
  ASSERT_TRUE(papers.has_value());
  std::vector<std::string> names;
  std::set<int> codes;
  for (const Paper& p : *papers) {
    names.push_back(p.name);
    codes.insert(p.code);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A0", "A1", "A2", "A3", "A4", "A5", "B1 (JIS)", "B2 (JIS)", "B3 (JIS)",
                                             "B4 (JIS)", "B5 (JIS)", "Letter", "Legal", "Tabloid"}));
  EXPECT_EQ(codes.size(), names.size());  // codes tell the papers apart
  EXPECT_FALSE(catalogue.papers("No Such Printer").has_value());
}

TEST(PrinterCatalogue, GeometryInWholePixelsAt600Dpi) {
  struct Case {
    const char* paper;
    int width, height;
  };
  const Case cases[] = {
      {"A0", 19866, 28087},       {"A4", 4961, 7016},       {"A5", 3496, 4961},
      {"B1 (JIS)", 17197, 24331}, {"B4 (JIS)", 6071, 8598}, {"B5 (JIS)", 4299, 6071},
      {"Letter", 5100, 6600},     {"Legal", 5100, 8400},    {"Tabloid", 6600, 10200},
  };
  const PrinterCatalogue catalogue;
  for (const auto& c : cases) {
    const auto g = catalogue.geometry("Terralinea Paper", c.paper);
    ASSERT_TRUE(g.has_value()) << c.paper;
    EXPECT_EQ(g->dpiX, 600);
    EXPECT_EQ(g->dpiY, 600);
    EXPECT_FALSE(g->landscape);
    EXPECT_EQ(g->physicalWidth, c.width) << c.paper;
    EXPECT_EQ(g->physicalHeight, c.height) << c.paper;
    EXPECT_EQ(g->printableWidth, c.width - 200) << c.paper;
    EXPECT_EQ(g->printableHeight, c.height - 200) << c.paper;
    EXPECT_EQ(g->offsetX, 100);
    EXPECT_EQ(g->offsetY, 100);
  }
  EXPECT_FALSE(catalogue.geometry("Terralinea Paper", "B4").has_value());  // ISO B4 is not offered
  EXPECT_FALSE(catalogue.geometry("Other", "A4").has_value());
}

TEST(PrinterCatalogue, AddedLandscapePrinterSwapsTheAxes) {
  PrinterCatalogue catalogue;
  PrinterDescription plotter;
  plotter.name = "Plotter";
  plotter.dpi = 300;
  plotter.landscape = true;
  plotter.marginPx = 20;
  plotter.papers = {{"A3", 8, 297, 420}};
  catalogue.addPrinter(plotter);

  EXPECT_EQ(catalogue.printerNames(), (std::vector<std::string>{"Terralinea Paper", "Plotter"}));
  const auto g = catalogue.geometry("Plotter", "A3");
  ASSERT_TRUE(g.has_value());
  EXPECT_TRUE(g->landscape);
  EXPECT_EQ(g->dpiX, 300);
  EXPECT_EQ(g->physicalWidth, 4961);  // 420 mm across
  EXPECT_EQ(g->physicalHeight, 3508);
  EXPECT_EQ(g->printableWidth, 4921);
  EXPECT_EQ(g->printableHeight, 3468);
  EXPECT_EQ(g->offsetX, 20);
  EXPECT_FALSE(catalogue.geometry("Plotter", "A4").has_value());
}
