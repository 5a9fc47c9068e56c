// The index drawing read back from its file: the fixed head, the frames and linked
// labels of the sheet grid, the administrative outlines cut at the mesh file edges, and
// the files that cannot be read, all of which must still leave a complete drawing.
#include "converter/decor/index_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "converter/geo/plane_coordinates.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/run_context.h"
#include "dxfio/real_format.h"
#include "platform/text_codec.h"
#include "tests/common/recording_host.h"
#include "tests/common/temp_folder.h"

namespace {

struct Group {
  int code;
  std::string value;
};

struct Record {
  std::string type;
  std::vector<Group> groups;  // after the 0 group
  std::string value(int code, int nth = 0) const {
    for (const auto& g : groups)
      if (g.code == code && nth-- == 0) return g.value;
    return "<none>";
  }
  double number(int code, int nth = 0) const { return std::stod(value(code, nth)); }
};

struct Point {
  double x, y;
};

struct LatLon {
  double lat, lon;
};

std::string num(double v) { return dxfio::formatReal(v); }

// The pairs of a file that must be CP932 with CR LF after every line.
std::vector<Group> readGroups(const std::filesystem::path& file) {
  const std::string bytes = readBytes(file);
  std::vector<Group> out;
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < bytes.size();) {
    const auto end = bytes.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the file does not end with CR LF";
      break;
    }
    const std::string line = bytes.substr(at, end - at);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "a line ends with LF alone";
    lines.push_back(platform::cp932ToUtf8(line));
    at = end + 2;
  }
  EXPECT_EQ(lines.size() % 2, 0u);
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) out.push_back({std::stoi(lines[i]), lines[i + 1]});
  return out;
}

// "code=value;..." of groups [from, to).
std::string notation(const std::vector<Group>& groups, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to && i < groups.size(); ++i) {
    if (!out.empty()) out += ";";
    out += std::to_string(groups[i].code) + "=" + groups[i].value;
  }
  return out;
}

// The records of the ENTITIES section.
std::vector<Record> entities(const std::vector<Group>& groups) {
  std::vector<Record> out;
  bool inside = false;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const auto& g = groups[i];
    if (!inside) {
      inside = g.code == 2 && g.value == "ENTITIES";
      continue;
    }
    if (g.code == 0 && g.value == "ENDSEC") break;
    if (g.code == 0)
      out.push_back({g.value, {}});
    else if (!out.empty())
      out.back().groups.push_back(g);
  }
  return out;
}

// The vertices of each POLYLINE, checked for the record's own form.
std::vector<std::vector<Point>> polylines(const std::vector<Record>& records) {
  std::vector<std::vector<Point>> out;
  for (const auto& r : records) {
    if (r.type == "POLYLINE") {
      EXPECT_EQ(r.value(8), "行政区画");
      EXPECT_EQ(r.value(66), "1");
      out.emplace_back();
    } else if (r.type == "VERTEX") {
      EXPECT_EQ(r.value(8), "行政区画");
      EXPECT_EQ(r.value(30), "0");
      if (!out.empty()) out.back().push_back({r.number(10), r.number(20)});
    } else if (r.type == "SEQEND") {
      EXPECT_EQ(r.value(8), "0");
    }
  }
  return out;
}

std::vector<Record> ofType(const std::vector<Record>& records, const std::string& type) {
  std::vector<Record> out;
  for (const auto& r : records)
    if (r.type == type) out.push_back(r);
  return out;
}

// An AdmArea file in the published layout: line 1 the declaration, line 2 the dataset
// head, then per ring "<AdmArea>", "<gml:posList>", one line per pair, "</gml:posList>",
// "</AdmArea>"; the dataset end last.
std::string ringLines(const std::vector<LatLon>& ring) {
  std::string out = "<AdmArea gml:id=\"K4_1\">\r\n<gml:posList>\r\n";
  for (const auto& p : ring) out += num(p.lat) + " " + num(p.lon) + "\r\n";
  return out + "</gml:posList>\r\n</AdmArea>\r\n";
}
std::string admFile(const std::string& body, const std::string& declaration = "encoding=\"utf-8\"") {
  return "<?xml version=\"1.0\" " + declaration + "?>\r\n<Dataset>\r\n" + body + "</Dataset>\r\n";
}

// Rings around mesh 503041 (33.667-33.75 N, 130.125-130.25 E), whose cell edges lie on
// latitudes of twelfths and longitudes of eighths.
const std::vector<LatLon> kIsland = {{33.70, 130.15}, {33.70, 130.16}, {33.71, 130.16}, {33.70, 130.15}};

class TestHost : public RecordingHost {
 public:
  void pump() override {
    RecordingHost::pump();
    if (onPump) onPump();
  }
  bool abortRequested() const override { return abort; }
  std::function<void()> onPump;
  bool abort = false;
};

class IndexDrawing : public ::testing::Test {
 protected:
  IndexDrawing() : ctx(settings, values, coords, host) {
    coords.selectSystem(2);
    coords.unitsPerMetre = values.unitsPerMetre = 1;
    settings.drawingUnit = 2;
    settings.writeFolder = ::settings::pathText(temp.path());
    settings.fgdFolder = ::settings::pathText(temp / "fgd");
    settings.mapName = "M";
    ctx.pointBuffer.assign(1024, geo::PointPair{0, 0});
    grid(1, 2, 400, 300, 400, 300);
  }

  // Sheets from the south-west corner (west, south) on.
  void grid(int rows, int columns, double width, double height, double stepWidth, double stepHeight, double west = 0,
            double south = 0) {
    values.sheetRows = rows;
    values.sheetColumns = columns;
    values.sheetWidth = width;
    values.sheetHeight = height;
    values.sheetStepWidth = stepWidth;
    values.sheetStepHeight = stepHeight;
    values.westEdge = west;
    values.eastEdge = west + (columns - 1) * stepWidth + width;
    values.southEdge = south;
    values.northEdge = south + (rows - 1) * stepHeight + height;
  }
  // An area of one sheet that holds mesh 503041 with a margin.
  void meshArea() {
    const Point sw = plane({33.6, 130.0}), ne = plane({33.8, 130.3});
    grid(1, 2, (ne.x - sw.x) / 2, ne.y - sw.y, (ne.x - sw.x) / 2, ne.y - sw.y, sw.x, sw.y);
  }

  Point plane(LatLon p) {
    coords.bltoxy(p.lon, p.lat);
    return {coords.planeY, coords.planeX};
  }
  std::vector<Point> plane(const std::vector<LatLon>& points) {
    std::vector<Point> out;
    for (const auto& p : points) out.push_back(plane(p));
    return out;
  }

  std::filesystem::path indexFile() const { return temp / "M#index.dxf"; }
  std::vector<Group> write() {
    decor::writeIndexDrawing(ctx, "Terralinea 0.1.0");
    return readGroups(indexFile());
  }
  std::vector<Record> writeEntities() { return entities(write()); }

  // The drawing ends as a whole drawing: every label, the note, ENDSEC and EOF.
  void expectComplete(const std::vector<Group>& groups) {
    ASSERT_GE(groups.size(), 2u);
    EXPECT_EQ(notation(groups, groups.size() - 2, groups.size()), "0=ENDSEC;0=EOF");
    EXPECT_EQ(ofType(entities(groups), "TEXT").size(),
              static_cast<std::size_t>(values.sheetRows * values.sheetColumns + 1));
  }

  static int audit(const std::filesystem::path& file) {
    const std::string command = "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) +
                                "/tests/tools/dxf_audit.py' '" + file.string() + "'";
    return std::system(command.c_str());
  }

  TempFolder temp;
  ::settings::DrawingSettings settings;
  ::settings::RunValues values;
  geo::PlaneCoordinates coords;
  TestHost host;
  sheet::RunContext ctx;
};

void expectPoints(const std::vector<Point>& actual, const std::vector<Point>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_EQ(num(actual[i].x), num(expected[i].x)) << "vertex " << i;
    EXPECT_EQ(num(actual[i].y), num(expected[i].y)) << "vertex " << i;
  }
}

}  // namespace

TEST_F(IndexDrawing, HeadTablesAndBlocksAsWritten) {
  grid(3, 2, 400, 300, 400, 300);  // W 0, E 800, S 0, N 900
  const auto groups = write();
  std::size_t entitiesAt = 0;
  while (entitiesAt < groups.size() && groups[entitiesAt].value != "ENTITIES") ++entitiesAt;
  EXPECT_EQ(notation(groups, 0, entitiesAt + 1),
            "999=Terralinea 0.1.0;999=  Programed Nelvarin.;"
            "0=SECTION;2=HEADER;9=$ACADVER;1=AC1009;9=$DWGCODEPAGE;3=ANSI_932;9=$MEASUREMENT;70=1;9=$INSUNITS;70=6;"
            "9=$EXTMIN;10=-800;20=-900;9=$EXTMAX;10=1600;20=1800;0=ENDSEC;"
            "0=SECTION;2=TABLES;0=TABLE;2=VPORT;70=2;0=VPORT;2=*ACTIVE;70=0;10=0;20=0;11=1;21=1;12=400;22=450;"
            "13=0;23=0;14=10;24=10;15=10;25=10;16=0;26=0;36=1;17=0;27=0;37=0;40=1170;41=0.888888888888889;"
            "42=50;43=0;44=0;50=0;51=0;71=0;72=1000;73=1;74=3;75=0;76=0;77=0;78=0;0=ENDTAB;"
            "0=TABLE;2=LTYPE;70=1;0=LTYPE;2=CONTINUOUS;70=0;3=Solid Line;72=65;73=0;40=0.0;0=ENDTAB;"
            "0=TABLE;2=LAYER;70=2;0=LAYER;2=0;70=0;62=7;6=CONTINUOUS;0=LAYER;2=行政区画;70=0;62=1;6=CONTINUOUS;"
            "0=ENDTAB;0=TABLE;2=STYLE;70=2;"
            "0=STYLE;2=STANDARD;70=0;40=0;41=1;50=0;71=0;42=0.2;3=MS UI Gothic;4=;"
            "0=STYLE;2=ANNOTATIVE;70=0;40=0;41=1;50=0;71=0;42=0.2;3=MS UI Gothic;4=;0=ENDTAB;"
            "0=TABLE;2=APPID;70=3;0=APPID;2=PE_URL;70=0;0=ENDTAB;0=ENDSEC;"
            "0=SECTION;2=BLOCKS;0=BLOCK;8=0;2=$MODEL_SPACE;70=0;10=0;20=0;30=0;3=*MODEL_SPACE;1=;0=ENDBLK;8=0;"
            "0=ENDSEC;0=SECTION;2=ENTITIES");
  // The layer name goes out in CP932; release 12 has no handles.
  const std::string bytes = readBytes(indexFile());
  EXPECT_NE(bytes.find(platform::utf8ToCp932("\r\n行政区画\r\n")), std::string::npos);
  for (const auto& g : groups) EXPECT_NE(g.code, 5) << "handle " << g.value;
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(ctx.anomalyMessage, "");
  EXPECT_EQ(audit(indexFile()), 0);
}

// Frames, labels and links of sheet grids, W = S = 0.
struct GridCase {
  const char* name;
  int rows, columns;
  double width, height, stepWidth, stepHeight;
  std::vector<double> frameY, frameX;  // horizontal lines bottom-up per row, vertical ones per column
  double labelHeight;
  std::vector<std::string> labels, links;  // the first labels in run order ("" skips a check)
};

void PrintTo(const GridCase& c, std::ostream* os) { *os << c.name; }

class IndexGrid : public IndexDrawing, public ::testing::WithParamInterface<GridCase> {};

TEST_P(IndexGrid, FramesLabelsAndLinks) {
  const auto& t = GetParam();
  grid(t.rows, t.columns, t.width, t.height, t.stepWidth, t.stepHeight);
  const auto records = writeEntities();
  const double w = values.westEdge, e = values.eastEdge, s = values.southEdge, n = values.northEdge;

  const auto lines = ofType(records, "LINE");
  ASSERT_EQ(lines.size(), t.frameY.size() + t.frameX.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto& l = lines[i];
    EXPECT_EQ(l.value(8), "0");
    EXPECT_EQ(l.value(6), "CONTINUOUS");
    const bool horizontal = i < t.frameY.size();
    const double at = horizontal ? t.frameY[i] : t.frameX[i - t.frameY.size()];
    const std::vector<double> ends = horizontal ? std::vector<double>{w, at, e, at} : std::vector<double>{at, s, at, n};
    EXPECT_EQ(l.number(10), ends[0]) << "line " << i;
    EXPECT_EQ(l.number(20), ends[1]) << "line " << i;
    EXPECT_EQ(l.number(11), ends[2]) << "line " << i;
    EXPECT_EQ(l.number(21), ends[3]) << "line " << i;
  }

  const auto texts = ofType(records, "TEXT");
  ASSERT_EQ(texts.size(), static_cast<std::size_t>(t.rows * t.columns + 1));
  const double h = t.labelHeight;
  for (int r = 0; r < t.rows; ++r)
    for (int c = 0; c < t.columns; ++c) {
      const auto& label = texts[static_cast<std::size_t>(r * t.columns + c)];
      EXPECT_EQ(label.value(8), "0");
      EXPECT_EQ(label.value(40), num(h));
      EXPECT_EQ(label.value(10), num(w + c * t.stepWidth + h / 4));
      EXPECT_EQ(label.value(20), num(n - (r + 0.5) * t.stepHeight - h / 2));
      EXPECT_EQ(label.value(1001), "PE_URL");
    }
  const std::string here = std::string(".") + static_cast<char>(std::filesystem::path::preferred_separator);
  for (std::size_t i = 0; i < t.labels.size(); ++i) {
    EXPECT_EQ(texts[i].value(1), t.labels[i]);
    if (!t.links[i].empty()) {
      EXPECT_EQ(texts[i].value(1000), here + t.links[i]);
    }
  }
  const auto& note = texts.back();
  EXPECT_EQ(note.value(10), num(w));
  EXPECT_EQ(note.value(20), num(n));
  EXPECT_EQ(note.value(40), num(h / 5));
  EXPECT_EQ(note.value(1), "AutoCADなら、Ctrlを押しながら地図ナンバーのクリックで地図が開きます。");
  EXPECT_EQ(note.value(1001), "<none>");
  EXPECT_EQ(ctx.anomalyMessage, "");
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, IndexGrid,
    ::testing::Values(
        GridCase{"ThreeRowsTwoColumns",
                 3,
                 2,
                 400,
                 300,
                 400,
                 300,
                 {0, 300, 300, 600, 600, 900},
                 {0, 400, 400, 800},
                 80,
                 {"A0", "A1", "B0", "B1", "C0", "C1"},
                 {"MA0.dxf", "MA1.dxf", "MB0.dxf", "MB1.dxf", "MC0.dxf", "MC1.dxf"}},
        // Overlapping sheets keep both edges; a tall sheet has labels of a fifth of its width.
        GridCase{"OverlapTallSheets", 2, 2, 200, 400, 180, 360, {0, 400, 360, 760}, {0, 200, 180, 380}, 40, {}, {}},
        // A sheet flatter than a fifth of its width has labels as high as the sheet.
        GridCase{"FlatSheets", 1, 2, 1000, 100, 1000, 100, {0, 100}, {0, 1000, 1000, 2000}, 100, {"A0"}, {"MA0.dxf"}},
        GridCase{"ThirtyRows",
                 30,
                 1,
                 100,
                 100,
                 100,
                 100,
                 [] {
                   std::vector<double> y;
                   for (int r = 0; r < 30; ++r) y.insert(y.end(), {r * 100.0, r * 100.0 + 100});
                   return y;
                 }(),
                 {0, 100},
                 20,
                 {" A0", " B0"},
                 {"M_A0.dxf", "M_B0.dxf"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Rings cut at the mesh file edges: each polyline is a run of points off the edges with
// its neighbours; indexes into the ring.
struct RingCase {
  const char* name;
  std::vector<LatLon> ring;
  std::vector<std::vector<int>> pieces;
};

void PrintTo(const RingCase& c, std::ostream* os) { *os << c.name; }

class IndexRing : public IndexDrawing, public ::testing::WithParamInterface<RingCase> {};

TEST_P(IndexRing, PiecesOffTheTileEdges) {
  const auto& t = GetParam();
  meshArea();
  writeBytes(temp / "fgd" / "FG-GML-503041-AdmArea-20181001-0001.xml", admFile(ringLines(t.ring)));
  const auto drawn = polylines(writeEntities());
  ASSERT_EQ(drawn.size(), t.pieces.size());
  for (std::size_t k = 0; k < drawn.size(); ++k) {
    std::vector<Point> expected;
    for (int i : t.pieces[k]) expected.push_back(plane(t.ring[static_cast<std::size_t>(i)]));
    expectPoints(drawn[k], expected);
  }
  EXPECT_EQ(ctx.anomalyMessage, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rings, IndexRing,
    ::testing::Values(RingCase{"TouchesNoEdge", kIsland, {{0, 1, 2, 3}}},
                      // Corners and sides of the mesh cell, 33.666666667 as the data spells two thirds.
                      RingCase{"AllOnEdges",
                               {{33.75, 130.125},
                                {33.75, 130.2},
                                {33.75, 130.25},
                                {33.666666667, 130.25},
                                {33.666666667, 130.125},
                                {33.75, 130.125}},
                               {}},
                      // On, on, off, off, on, on, off, on: two runs.
                      RingCase{"TwoRuns",
                               {{33.75, 130.13},
                                {33.75, 130.14},
                                {33.74, 130.14},
                                {33.74, 130.13},
                                {33.75, 130.135},
                                {33.72, 130.125},
                                {33.73, 130.126},
                                {33.75, 130.13}},
                               {{1, 2, 3, 4}, {5, 6, 7}}},
                      RingCase{"TwoPoints", {{33.70, 130.15}, {33.71, 130.16}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The box test of a list against the area, at its boundaries: the island's plane box
// meets the area only along one of its edges.
struct BoxCase {
  const char* name;
  char edge;  // the area edge set to the island's box
  bool drawn;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class IndexBox : public IndexDrawing, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(IndexBox, ListAtTheAreaEdge) {
  const auto& t = GetParam();
  coords.bltoxy(130.15, 33.70);
  const double xMin = coords.planeX, yMin = coords.planeY;
  coords.bltoxy(130.16, 33.71);
  const double xMax = coords.planeX, yMax = coords.planeY;
  const double far = 100000;
  double w = yMin - far, e = yMax + far, s = xMin - far, n = xMax + far;
  switch (t.edge) {
    case 'W': w = yMax; break;
    case 'E': e = yMin; break;
    case 'S': s = xMax; break;
    case 'N': n = xMin; break;
  }
  grid(1, 2, (e - w) / 2, n - s, (e - w) / 2, n - s, w, s);
  // The edges exactly as set: the sums of the grid may round.
  values.westEdge = w;
  values.eastEdge = e;
  values.southEdge = s;
  values.northEdge = n;
  writeBytes(temp / "fgd" / "FG-GML-503041-AdmArea-20181001-0001.xml", admFile(ringLines(kIsland)));
  EXPECT_EQ(polylines(writeEntities()).size(), t.drawn ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Edges, IndexBox,
                         ::testing::Values(BoxCase{"WestIsYmax", 'W', false}, BoxCase{"EastIsYmin", 'E', false},
                                           BoxCase{"SouthIsXmax", 'S', true}, BoxCase{"NorthIsXmin", 'N', true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IndexDrawing, ReadsShiftJisAndUtf8Files) {
  meshArea();
  const std::string name = "<name>福岡市西区</name>\r\n";
  // Without a declaration naming utf-8 the file is CP932, its first line included.
  writeBytes(temp / "fgd" / "a" / "FG-GML-503041-AdmArea-20181001-0001.xml",
             platform::utf8ToCp932(admFile(name + ringLines(kIsland), "encoding=\"Shift_JIS\"")));
  writeBytes(temp / "fgd" / "b" / "FG-GML-503042-AdmArea-20181001-0001.xml", admFile(name + ringLines(kIsland)));
  writeBytes(temp / "fgd" / "FG-GML-503041-AdmBdry-20181001-0001.xml", admFile(ringLines(kIsland)));
  const auto drawn = polylines(writeEntities());
  ASSERT_EQ(drawn.size(), 2u);
  expectPoints(drawn[0], plane(kIsland));
  expectPoints(drawn[1], plane(kIsland));
  EXPECT_EQ(ctx.anomalyMessage, "");

  // Without subfolders only the top folder is listed, and its file is no AdmArea file.
  settings.processSubfolders = false;
  EXPECT_TRUE(polylines(writeEntities()).empty());
}

// Files that end early or hold what cannot be drawn: each is reported with its file and
// line, the lists after it are still drawn, and the drawing is complete.
struct FaultCase {
  const char* name;
  std::string body;         // what follows the dataset head
  std::size_t bufferPairs;  // capacity of the point buffer
  std::size_t drawn;        // polylines written
  std::string report;       // the report, "<file>" for the file's path
};

const std::string kTriangle = ringLines({{33.70, 130.15}, {33.70, 130.16}, {33.71, 130.16}});

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class IndexFault : public IndexDrawing, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(IndexFault, ReportedAndTheDrawingClosed) {
  const auto& t = GetParam();
  meshArea();
  ctx.pointBuffer.assign(t.bufferPairs, geo::PointPair{0, 0});
  const auto file = temp / "fgd" / "FG-GML-503041-AdmArea-20181001-0001.xml";
  writeBytes(file, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Dataset>\r\n" + t.body);
  const auto groups = write();
  expectComplete(groups);
  EXPECT_EQ(polylines(entities(groups)).size(), t.drawn);
  std::string report = t.report;
  report.replace(report.find("<file>"), 6, ::settings::pathText(file));
  EXPECT_EQ(ctx.anomalyMessage, report + "\r\n");
  EXPECT_TRUE(host.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IndexFault,
    ::testing::Values(
        // Lines 3-4 open the list, pairs on lines 5-8.
        FaultCase{"CutInsideAList",
                  "<AdmArea gml:id=\"K4_1\">\r\n<gml:posList>\r\n33.7 130.15\r\n33.7 130.16\r\n33.71 130.16\r\n", 1024,
                  0, "行政区画ファイルが途中で終わっています <file>"},
        // The closing tag on the last line is never examined.
        FaultCase{"ClosedOnTheLastLine",
                  "<AdmArea gml:id=\"K4_1\">\r\n<gml:posList>\r\n33.7 130.15\r\n33.7 130.16\r\n33.71 130.16\r\n"
                  "</gml:posList>",
                  1024, 0, "行政区画ファイルが途中で終わっています <file>"},
        FaultCase{"NotAPair",
                  "<AdmArea gml:id=\"K4_1\">\r\n<gml:posList>\r\n33.7 130.15\r\n33.7,130.16\r\n33.71 130.16\r\n"
                  "</gml:posList>\r\n</AdmArea>\r\n" +
                      kTriangle + "</Dataset>\r\n",
                  1024, 1, "行政区画の座標が異常です <file> 6行目"},
        // Four pairs in a buffer of three: the list is left out whole, the next one fits.
        FaultCase{"LongerThanTheBuffer", ringLines(kIsland) + kTriangle + "</Dataset>\r\n", 3, 1,
                  "行政区画の座標がxylimitを超えました <file> 8行目"},
        // A line beyond the reader's limit ends the file there.
        FaultCase{"RunawayLine",
                  kTriangle + "<AdmArea gml:id=\"K4_2\">\r\n<gml:posList>\r\n" + std::string((16u << 20) + 10, '3') +
                      "\r\n</gml:posList>\r\n</AdmArea>\r\n</Dataset>\r\n",
                  1024, 1, "行政区画ファイルを読めません <file> 12行目"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IndexDrawing, FileGoneBeforeItIsRead) {
  meshArea();
  const auto gone = temp / "fgd" / "FG-GML-503041-AdmArea-20181001-0001.xml";
  writeBytes(gone, admFile(ringLines(kIsland)));
  host.onPump = [&] { std::filesystem::remove(gone); };
  const auto groups = write();
  expectComplete(groups);
  EXPECT_TRUE(polylines(entities(groups)).empty());
  EXPECT_EQ(ctx.anomalyMessage, "行政区画ファイルを読めません " + ::settings::pathText(gone) + "\r\n");
}

TEST_F(IndexDrawing, AbortLeavesTheOutlinesAndClosesTheDrawing) {
  meshArea();
  writeBytes(temp / "fgd" / "FG-GML-503041-AdmArea-20181001-0001.xml", admFile(ringLines(kIsland)));
  host.abort = true;
  const auto groups = write();
  expectComplete(groups);
  EXPECT_TRUE(polylines(entities(groups)).empty());
}

TEST_F(IndexDrawing, FileThatCannotBeCreated) {
  settings.writeFolder = ::settings::pathText(temp / "missing");
  decor::writeIndexDrawing(ctx, "Terralinea 0.1.0");
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].caption, "警告");
  EXPECT_EQ(host.shown[0].text, "indexファイルを開けません、他のソフトで開いていませんか。");
  EXPECT_FALSE(host.shown[0].question);
  EXPECT_FALSE(std::filesystem::exists(temp / "missing"));
  EXPECT_EQ(ctx.anomalyMessage, "");
  EXPECT_TRUE(ctx.runContinue);
}

TEST_F(IndexDrawing, FailedWriteIsReported) {
  const std::filesystem::path full = "/dev/full";
  if (!std::filesystem::exists(full)) GTEST_SKIP() << "no full device here";
  decor::writeIndexDrawing(ctx, "Terralinea 0.1.0", full);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(ctx.anomalyMessage.starts_with("indexファイルを書き込めません: /dev/full (")) << ctx.anomalyMessage;
}

// Published outlines of mesh 503041 and of Ishigaki (far outside the area), read in place.
// The counts were taken once with a separate script that cuts the lists the same way.
TEST_F(IndexDrawing, PublishedAdmAreaFiles) {
  const auto real = std::filesystem::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" / "fgd-vector";
  if (!std::filesystem::exists(real / "FG-GML-503041-ALL-20181001" / "FG-GML-503041-AdmArea-20181001-0001.xml"))
    GTEST_SKIP() << "published data not found beside the repository";
  meshArea();
  ctx.pointBuffer.assign(1 << 16, geo::PointPair{0, 0});  // the longest ring has 2381 pairs
  settings.fgdFolder = ::settings::pathText(real);
  const auto drawn = polylines(writeEntities());
  EXPECT_EQ(ctx.anomalyMessage, "");
  EXPECT_EQ(drawn.size(), 99u);
  // Every vertex lies in the plane box of the mesh's corners.
  double xMin = 1e300, xMax = -1e300, yMin = 1e300, yMax = -1e300;
  for (const auto& corner :
       plane({{33.666666667, 130.125}, {33.75, 130.125}, {33.666666667, 130.25}, {33.75, 130.25}})) {
    xMin = std::min(xMin, corner.x - 1);
    xMax = std::max(xMax, corner.x + 1);
    yMin = std::min(yMin, corner.y - 1);
    yMax = std::max(yMax, corner.y + 1);
  }
  std::size_t vertices = 0;
  for (const auto& line : drawn) {
    vertices += line.size();
    for (const auto& p : line) EXPECT_TRUE(p.x > xMin && p.x < xMax && p.y > yMin && p.y < yMax) << p.x << " " << p.y;
  }
  EXPECT_EQ(vertices, 7552u);
  EXPECT_EQ(audit(indexFile()), 0);
}
