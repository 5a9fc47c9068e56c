#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <csignal>
#include <sstream>

#include "converter/cli/cli_host.h"
#include "converter/cli/commands.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

namespace {

struct Result {
  int status;
  std::string out, err;
};

Result run(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = cli::runCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

// Home and settings folders of the test's own, so nothing of the user's is read or written.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", temp.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (temp / "config").c_str(), 1);
  }
  std::string file(const char* name) const { return (temp / name).string(); }

  // Sets keys of a settings file (each key name is unique in the files init writes).
  static void edit(const std::string& path, const std::vector<std::pair<std::string, std::string>>& values,
                   platform::TextEncoding encoding = platform::TextEncoding::Cp932) {
    std::string text = platform::decodeText(readBytes(path));
    for (const auto& [key, value] : values) {
      auto at = text.find("\r\n" + key + "=");
      ASSERT_NE(at, std::string::npos) << key;
      auto end = text.find("\r\n", at + 2);
      text.replace(at + 2, end - at - 2, key + "=" + value);
    }
    writeBytes(path, platform::encodeText(text, encoding));
  }

  // A settings file made by init and edited into a valid 3 x 2 area.
  std::string validFile() {
    std::string path = file("v.trl");
    EXPECT_EQ(run({"init", path}).status, 0);
    const std::string folder = temp.path().string();
    edit(path, {{"readfolder", folder},
                {"meshfolder", folder},
                {"kkjfolder", folder},
                {"syoufolder", folder},
                {"writefolder", folder},
                {"printer", "Terralinea Paper"},
                {"yousi", "A3"},
                {"namae", "M"},
                {"zahyokei", "33"},
                {"kita", "-35000000"},
                {"minami", "-37000000"},
                {"nisi", "-8000000"},
                {"higasi", "-6000000"},
                {"yokodiv", "2"},
                {"tatediv", "3"}});
    return path;
  }

  TempFolder temp;
};

std::size_t entryCount(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(folder)) ++n;
  return n;
}

}  // namespace

TEST_F(CliTest, InitWritesDefaultsAndRefusesToOverwrite) {
  std::string path = file("x.trl");
  auto r = run({"init", path});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string text = platform::cp932ToUtf8(readBytes(path));
  EXPECT_NE(text.find("[kihon]\r\nver=13\r\n"), std::string::npos);
  EXPECT_NE(text.find("font=4\r\n"), std::string::npos);
  EXPECT_NE(text.find("kita=0.01\r\n"), std::string::npos);
  EXPECT_NE(text.find("[GSI-OnOff]"), std::string::npos);
  EXPECT_NE(text.find("Terralinea"), std::string::npos);  // default folders under the home folder
  EXPECT_EQ(run({"init", path}).status, 1);
  EXPECT_EQ(run({"init", path, "--force"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(temp / "config"));  // init writes only the named file
}

TEST_F(CliTest, CheckReportsTheDefaults) {
  std::string path = file("x.trl");
  ASSERT_EQ(run({"init", path}).status, 0);
  auto r = run({"check", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "基盤地図情報フォルダが見つかりません\n標高データフォルダが見つかりません\n書込フォルダが見つかりません\n"
            "国土数値情報フォルダが見つかりません\n国土基本情報フォルダが見つかりません\n地図名を設定してください\n"
            "プリンタを選択してください\n用紙サイズを選択してください。\n座標系を選択してください\n");
}

TEST_F(CliTest, CheckPrintsTheRunValuesAndWritesNothing) {
  std::string path = validFile();
  std::size_t before = entryCount(temp.path());
  auto r = run({"check", path});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(entryCount(temp.path()), before);
  EXPECT_EQ(r.out.substr(0, 3), "OK\n");
  for (const char* line : {"unitsPerMetre=1000\n", "legendStepCount=16\n", "northEdge=-35000000\n",
                           "westEdge=-8000000\n", "paperWidthMm=", "sheetStepWidth=", "columnCount=", "meshCellWidth="})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
  // Six sheets in run order.
  auto first = r.out.find("sheetFile=");
  ASSERT_NE(first, std::string::npos);
  std::string files = r.out.substr(first);
  EXPECT_NE(files.find("MA0.dxf\nsheetFile="), std::string::npos);
  EXPECT_NE(files.find("MC1.dxf\n"), std::string::npos);
  std::size_t count = 0;
  for (auto at = files.find("sheetFile="); at != std::string::npos; at = files.find("sheetFile=", at + 1)) ++count;
  EXPECT_EQ(count, 6u);
  // Reals are printed so that they read back exactly.
  auto at = r.out.find("sheetWidth=");
  double width = std::stod(r.out.substr(at + 11));
  EXPECT_DOUBLE_EQ(width, 2000000.0 / 2);
}

TEST_F(CliTest, BadSettingsFiles) {
  auto missing = run({"check", file("none.trl")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.trl"), std::string::npos);

  std::string junk;
  for (int i = 0; i < 2000; ++i) junk += static_cast<char>((i * 31 + 7) & 0xFF);
  writeBytes(temp / "junk.trl", junk);
  EXPECT_EQ(run({"check", file("junk.trl")}).status, 1);

  writeBytes(temp / "range.trl", "[kihon]\r\nver=13\r\ntanni=9\r\n[area]\r\nzahyokei=400\r\n");
  auto r = run({"check", file("range.trl")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("単位を設定してください"), std::string::npos);
}

TEST_F(CliTest, Coordinates) {
  auto r = run({"bltoxy", "--zone", "9", "--unit", "m", "139.8333333333333", "36"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "0 0\n");
  r = run({"bltoxy", "--zone", "9", "139.8333333333333", "37"});
  EXPECT_EQ(r.out.substr(0, 9), "110957207");
  r = run({"xytobl", "--zone", "9", "--unit", "m", "0", "110957.2076"});
  ASSERT_EQ(r.status, 0);
  double lat = std::stod(r.out);
  EXPECT_NEAR(lat, 37, 1e-6);
  EXPECT_EQ(run({"bltoxy", "--zone", "20", "1", "2"}).status, 1);
  EXPECT_EQ(run({"bltoxy", "--zone", "9", "--unit", "km", "1", "2"}).status, 1);
  EXPECT_EQ(run({"bltoxy", "--zone", "9", "x", "2"}).status, 1);
  EXPECT_EQ(run({"xytobl", "--zone", "9", "--unit", "m", "1e12", "1e12"}).status, 2);
  // Points off the globe are refused, never printed.
  struct OffGlobe {
    std::vector<std::string> args;
    const char* message;
  };
  const OffGlobe off[] = {
      {{"bltoxy", "--zone", "9", "139", "95"}, "not a point on the globe"},
      {{"bltoxy", "--zone", "9", "200", "35"}, "not a point on the globe"},
      {{"bltoxy", "--zone", "9", "1e300", "35"}, "not a point on the globe"},
      {{"bltoxy", "--zone", "9", "139", "+-35"}, "not a number: +-35"},
      {{"xytobl", "--zone", "9", "--unit", "m", "0", "20000000"}, "off the globe"},
      {{"xytobl", "--zone", "9", "--unit", "m", "6000000", "0"}, "off the globe"},
  };
  for (const auto& c : off) {
    const auto r = run(c.args);
    EXPECT_EQ(r.status, 1) << c.args[3] << " " << c.args.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, NoSubcommandOrOneSettingsFileIsTheWindowsTheRestStaysHeadless) {
  EXPECT_TRUE(cli::opensWindow({}));
  EXPECT_TRUE(cli::opensWindow({"x.trl"}));
  EXPECT_TRUE(cli::opensWindow({"地図.trl"}));
  for (std::vector<std::string> headless : std::vector<std::vector<std::string>>{
           {"--help"}, {"--version"}, {"-h"}, {"run", "x.trl"}, {"check", "x.trl"}, {"init"}, {"a.trl", "b.trl"}})
    EXPECT_FALSE(cli::opensWindow(headless)) << headless[0];
  // Handed to the command line anyway, nothing is the usage.
  auto r = run({});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("usage:"), std::string::npos);
  EXPECT_EQ(run({"--help"}).status, 0);
  EXPECT_EQ(run({"--version"}).out, "Terralinea 0.1.0\n");
}

TEST_F(CliTest, RunWritesTheSheetsAndSavesTheLastRun) {
  std::string path = validFile();
  auto r = run({"run", path, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"MA0.dxf", "MA1.dxf", "MC1.dxf", "dxftodwg.scr"})
    EXPECT_TRUE(std::filesystem::exists(temp / name)) << name;
  EXPECT_TRUE(std::filesystem::exists(temp / "config" / "Terralinea" / "LastDraw.trl"));

  // Existing sheets: without --yes the question is answered No and nothing starts.
  auto again = run({"run", path, "--quiet"});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("既存ファイルがあります: 上書きしますか"), std::string::npos) << again.err;
  EXPECT_EQ(run({"run", path, "--quiet", "--yes"}).status, 0);
}

// Without a terminal the run is a short log: a line per sheet and stage, the outcome
// without the window's question, and the result's path on standard output.
TEST_F(CliTest, RunLogsEachSheetAndStage) {
  std::string path = validFile();
  edit(path, {{"cb", "1"}});  // the standard area mesh grid
  const auto r = run({"run", path});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines;
  std::istringstream in(r.err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 1u + 6 * 3 + 3);
  EXPECT_EQ(lines[0].rfind("処理開始時刻 ", 0), 0u);
  EXPECT_EQ(lines[1], "MA0.dxf: 図形データ");
  EXPECT_EQ(lines[2], "MA0.dxf: 標準地域メッシュ");
  EXPECT_EQ(lines[3], "MA0.dxf: 整飾");
  EXPECT_EQ(lines[18], "MC1.dxf: 整飾");
  EXPECT_EQ(lines[19].rfind("正常終了: 所要時間は ", 0), 0u) << lines[19];
  EXPECT_EQ(r.err.find("開きますか"), std::string::npos);
  EXPECT_EQ(lines.size(), 22u) << r.err;
  EXPECT_EQ(r.out, (temp / "M#index.dxf").string() + "\n");
}

// The published mesh 503041 (Genkai Island) in 3 x 2 sheets with the mesh grid: every sheet
// and the index drawing pass the independent audit.
TEST_F(CliTest, PublishedMeshInSixSheetsPassesTheAudit) {
  const auto data = std::filesystem::path(TERRALINEA_SOURCE_DIR) / ".." / "shared" / "testdata" / "real" /
                    "fgd-vector" / "FG-GML-503041-ALL-20181001";
  if (!std::filesystem::is_directory(data)) GTEST_SKIP() << "published data not found";
  std::string path = validFile();
  edit(path, {{"readfolder", data.string()},
              {"namae", "genkai"},
              {"zahyokei", "6"},  // system II
              {"kita", "83400000"},
              {"minami", "74300000"},
              {"nisi", "-81000000"},
              {"higasi", "-69600000"},
              {"cb", "1"}});
  const auto r = run({"run", path, "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, (temp / "genkai#index.dxf").string() + "\n");
  std::string command = "/usr/bin/python3 '" + std::string(TERRALINEA_SOURCE_DIR) + "/tests/tools/dxf_audit.py'";
  for (const char* name : {"genkai#index", "genkaiA0", "genkaiA1", "genkaiB0", "genkaiB1", "genkaiC0", "genkaiC1"})
    command += " '" + (temp / name).string() + ".dxf'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  // The island lies in the south-east sheet: its outline is in the index.
  EXPECT_NE(readBytes(temp / "genkai#index.dxf").find("POLYLINE"), std::string::npos);
}

TEST_F(CliTest, RunExitStatuses) {
  std::string path = validFile();
  // Refused settings print the report.
  auto refused = run({"run", path, "--write-folder", file("missing")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("設定値を確認してください: 書込フォルダが見つかりません"), std::string::npos)
      << refused.err;
  // A sheet that cannot be created stops the run (a link into a missing folder: even
  // root cannot create it).
  std::filesystem::create_directories(temp / "out");
  std::filesystem::create_symlink(temp / "nowhere" / "x.dxf", temp / "out" / "MA0.dxf");
  auto failed = run({"run", path, "--write-folder", file("out"), "--quiet"});
  EXPECT_EQ(failed.status, 2);
  // The system's reason, not a guess that another program holds the file.
  EXPECT_NE(failed.err.find("ファイルを作れません: "), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("No such file or directory"), std::string::npos) << failed.err;
  EXPECT_FALSE(std::filesystem::exists(temp / "out" / "MA1.dxf"));
  // Nor the index drawing, which an idle worker may have made meanwhile, nor any part file.
  EXPECT_FALSE(std::filesystem::exists(temp / "out" / "M#index.dxf"));
  for (const auto& entry : std::filesystem::directory_iterator(temp / "out"))
    EXPECT_NE(entry.path().extension(), ".part") << entry.path();
  EXPECT_FALSE(std::filesystem::exists(temp / "config" / "Terralinea" / "LastDraw.trl"));
}

TEST_F(CliTest, MemoryFlagsWithinTheDialogsLimits) {
  std::string path = validFile();
  struct Case {
    std::vector<std::string> flags;
    int status;
  };
  const Case cases[] = {
      {{"--buffer-factor", "0"}, 1},
      {{"--buffer-factor", "50"}, 1},
      {{"--buffer-factor", "2.5"}, 1},
      {{"--contour-share", "1"}, 1},
      {{"--contour-share", "9"}, 1},
      {{"--contour-share", "x"}, 1},
      {{"--buffer-factor", "49", "--contour-share", "2"}, 0},
      {{"--buffer-factor", "1"}, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"run", path, "--quiet", "--yes"};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const auto r = run(args);
    EXPECT_EQ(r.status, c.status) << c.flags[0] << " " << c.flags[1] << ": " << r.err;
    if (c.status == 1) {
      EXPECT_NE(r.err.find(c.flags[0] + " takes a whole number"), std::string::npos) << r.err;
    }
  }
}

TEST_F(CliTest, RunWithProblemsInTheDataEndsWithThree) {
  // A railway file of the island's mesh, damaged in each way a run must not pass as success.
  const std::string rail =
      readBytes(std::filesystem::path(TERRALINEA_TEST_DATA) / "fgd" / "FG-GML-503041-RailCL-20181001-0001.xml");
  const std::string pair = "33.689200000 130.233400000";
  auto replaced = [&](const std::string& by) {
    std::string text = rail;
    text.replace(text.find(pair), pair.size(), by);
    return text;
  };
  struct Case {
    const char* what;
    std::string bytes;
    std::string message;  // the start of the report line
  };
  const Case cases[] = {
      // The rail reader reports under the road reader's name.
      {"not a number", replaced("33.689200000 130.2x3400000"), "障害発生: GML64Poly_Road("},
      {"cut inside a feature", rail.substr(0, rail.find("\n", rail.find(pair)) + 1),
       "障害発生: GMLファイルが図形の途中で終わっています "},
      {"latitude lost a digit", replaced("3.689200000 130.233400000"),
       "障害発生: ファイルの区画から外れた座標の図形を描画しません "},
  };
  std::string path = validFile();
  edit(path, {{"readfolder", (temp / "fgd").string()},
              {"zahyokei", "6"},  // system II
              {"kita", "77011357"},
              {"minami", "75555819"},
              {"nisi", "-71756536"},
              {"higasi", "-69912844"},
              {"yokodiv", "1"},
              {"tatediv", "1"}});
  ASSERT_NE(rail.find(pair), std::string::npos);
  for (const auto& c : cases) {
    writeBytes(temp / "fgd" / "FG-GML-503041-RailCL-20181001-0001.xml", c.bytes);
    auto r = run({"run", path, "--quiet", "--yes"});
    EXPECT_EQ(r.status, 3) << c.what << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_TRUE(std::filesystem::exists(temp / "M.dxf")) << c.what;
    EXPECT_FALSE(std::filesystem::exists(temp / "config" / "Terralinea" / "LastDraw.trl"));  // not after problems
  }
}

// What cannot be drawn is refused before anything is written, and quickly.
TEST_F(CliTest, CheckRefusesWhatCannotBeDrawn) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> keys;
    const char* message;
    platform::TextEncoding encoding = platform::TextEncoding::Cp932;
  };
  const Case cases[] = {
      {"every sheet the counts allow", {{"yokodiv", "256"}, {"tatediv", "18277"}},
       "分割数が多すぎます(横分割数×縦分割数は65536以下に)"},
      {"margins", {{"yohakul", "500"}}, "余白が大きすぎて描画する幅がありません"},
      // Only a Unicode settings file can hold it.
      {"map name outside CP932", {{"namae", "地図🗾"}}, "地図名に 🗾 は使えません(シフトJISにない文字)",
       platform::TextEncoding::Utf16Le},
  };
  const std::string valid = validFile();
  for (const auto& c : cases) {
    const std::string path = file("c.trl");
    std::filesystem::copy_file(valid, path, std::filesystem::copy_options::overwrite_existing);
    edit(path, c.keys, c.encoding);
    auto r = run({"check", path});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(r.out, std::string(c.message) + "\n") << c.what;
  }
}

// Japanese characters and blanks in the map name and the folder: the sheets, the script
// and the index links name the same files.
TEST_F(CliTest, JapaneseNamesWithBlanksWorkEndToEnd) {
  std::string path = validFile();
  const auto out = temp / "出力 フォルダ";
  std::filesystem::create_directories(out);
  edit(path, {{"namae", "地図 東京"}});
  auto r = run({"run", path, "--write-folder", out.string(), "--quiet", "--yes"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(out / "地図 東京A0.dxf"));
  const std::string script = platform::cp932ToUtf8(readBytes(out / "dxftodwg.scr"));
  EXPECT_NE(script.find("\"" + (out / "地図 東京A0.dxf").string() + "\""), std::string::npos) << script;
  const std::string index = platform::cp932ToUtf8(readBytes(out / "地図 東京#index.dxf"));
  EXPECT_NE(index.find("地図 東京A0.dxf"), std::string::npos);
}

TEST_F(CliTest, InterruptAsksTheRunToStop) {
  std::ostringstream err;
  {
    cli::CliRunHost host(err, false, true, false);
    EXPECT_FALSE(host.abortRequested());
    std::raise(SIGINT);  // caught by the host, not the test process
    EXPECT_TRUE(host.abortRequested());
  }
  // A new run starts without the old interrupt.
  cli::CliRunHost next(err, false, true, false);
  EXPECT_FALSE(next.abortRequested());
}

TEST_F(CliTest, ExecutableExitStatus) {
  std::string bin = std::string(TERRALINEA_BIN_DIR) + "/terralinea";
  std::string path = validFile();
  EXPECT_EQ(std::system((bin + " check '" + path + "' > /dev/null").c_str()), 0);
  EXPECT_NE(std::system((bin + " check '" + file("none.trl") + "' 2> /dev/null").c_str()), 0);
}

// A disk that fills up (a file size limit, its signal ignored so that writes fail instead)
// while a sheet or a settings file is written leaves no cut file under a real name, and an
// older settings file as it was.
TEST_F(CliTest, FullDiskLeavesNoFileThatLooksComplete) {
  const std::string bin = std::string(TERRALINEA_BIN_DIR) + "/terralinea";
  auto limited = [&](const std::string& args) {
    const std::string command = "bash -c 'trap \"\" XFSZ; ulimit -f 16; exec \"$0\" \"$@\"' " + bin + " " + args +
                                " > /dev/null 2> '" + file("err.txt") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const std::string path = validFile();
  std::filesystem::create_directories(temp / "out");
  EXPECT_EQ(limited("run '" + path + "' --write-folder '" + file("out") + "' --quiet --yes"), 2);
  EXPECT_NE(readBytes(temp / "err.txt").find("ファイル"), std::string::npos) << readBytes(temp / "err.txt");
  for (const auto& e : std::filesystem::directory_iterator(temp / "out"))
    ADD_FAILURE() << "left behind: " << e.path();

  // Settings: a new file is not made, an old one keeps every byte.
  std::string big = readBytes(path);
  big += "[future]\r\n" + std::string(20000, 'x') + "=1\r\n";
  writeBytes(temp / "old.trl", big);
  EXPECT_NE(limited("init '" + file("old.trl") + "' --force"), 0);
  EXPECT_EQ(readBytes(temp / "old.trl"), big);
  std::size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(temp.path()))
    entries += e.path().filename().string().find(".trl") != std::string::npos;
  EXPECT_EQ(entries, 2u);  // v.trl and old.trl, no partial file beside them
}

// An item file that would let every layer vanish stops the start with its message; names
// no layer may carry are mended and the run goes on.
TEST_F(CliTest, ItemFilesThatCannotMakeLayers) {
  const std::string path = validFile();
  const char* const shipped = std::getenv("TERRALINEA_DATA");
  ASSERT_NE(shipped, nullptr);
  const auto data = temp / "data";
  std::filesystem::copy(shipped, data, std::filesystem::copy_options::recursive);
  const std::string tree = readBytes(data / "kibanchizu-tree.txt");
  struct Case {
    const char* what;
    std::string bytes;
    int status;
    const char* message;
  };
  std::string forbidden = tree;
  const std::string building = platform::utf8ToCp932("\t建物\t");
  forbidden.replace(forbidden.find(building), building.size(), "\t" + platform::utf8ToCp932("建物<A>") + "\t");
  const Case cases[] = {
      {"empty tree", "", 2, "起動時に障害発生: kibanchizu-tree.txt に項目がありません"},
      {"forbidden characters", forbidden, 0, "警告: 画層名に使えない文字を _ に置き換えました (kibanchizu-tree.txt "},
  };
  setenv("TERRALINEA_DATA", data.c_str(), 1);
  for (const auto& c : cases) {
    writeBytes(data / "kibanchizu-tree.txt", c.bytes);
    auto r = run({"check", path});
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
  }
  setenv("TERRALINEA_DATA", shipped, 1);
}
