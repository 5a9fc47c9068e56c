#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "converter/settings/item_files.h"
#include "platform/text_codec.h"
#include "tests/settings/fixture.h"

using namespace settings;

namespace {
void copyFixtures(const TempFolder& temp) {
  for (const char* name : {kFgdTreeFile, kMlitItemFile, kBasicInfoTreeFile})
    std::filesystem::copy_file(itemFixtureFolder() / name, temp / name);
}
void writeCp932(const std::filesystem::path& file, const std::string& utf8) {
  writeBytes(file, platform::utf8ToCp932(utf8));
}
}  // namespace

TEST(ItemFiles, TreesListAndRunningNumbers) {
  auto s = loadedSettings();
  EXPECT_EQ(s.meshGridCaption, "001標準地域メッシュ");
  ASSERT_EQ(s.fgdLayers.itemCount(), 7u);
  const auto& first = s.fgdLayers.groups[0];
  EXPECT_EQ(first.caption, "行政区画");
  EXPECT_EQ(first.entry.key, "AdmArea-12");
  EXPECT_EQ(first.entry.code, 1536);
  EXPECT_TRUE(first.entry.attributeValue.empty());
  EXPECT_EQ(first.items[0].caption, "002行政区画町村");
  EXPECT_EQ(first.items[0].entry.attributeValue, "町村・指定都市の区");
  EXPECT_TRUE(first.items[0].on);
  EXPECT_FALSE(itemByKey(s.fgdLayers, "BldA-2").on);  // "1" in the off column
  EXPECT_EQ(itemByKey(s.fgdLayers, "RailCL-2").entry.flag, 7);
  EXPECT_EQ(s.meshSourceCaptions[0], "標高Mesh   5m");
  EXPECT_EQ(s.meshSourceCaptions[4], "ETOPO1");
  EXPECT_EQ(s.contourSourceCaptions[1], "等高線  10m");

  ASSERT_EQ(s.mlitLayers.size(), 2u);
  EXPECT_EQ(s.mlitLayers[0].caption, "009土地利用");
  EXPECT_EQ(s.mlitLayers[0].styleCode, 3074);
  EXPECT_EQ(s.mlitLayers[1].readerMask, 32);
  EXPECT_EQ(s.mlitLayers[1].geometryEndMarker, "</gml:Curve>");

  // The second tree continues the numbers and stops at "eod".
  ASSERT_EQ(s.basicInfoLayers.itemCount(), 3u);
  EXPECT_EQ(s.basicInfoLayers.groups[0].items[0].caption, "011行政区画町村");
  EXPECT_EQ(s.basicInfoLayers.groups[1].items[0].entry.flag, 0);
}

TEST(ItemFiles, MissingFilesStopTheStart) {
  for (const char* missing : {kFgdTreeFile, kMlitItemFile, kBasicInfoTreeFile}) {
    TempFolder temp;
    copyFixtures(temp);
    std::filesystem::remove(temp / missing);
    DrawingSettings s;
    auto result = loadItemFiles(temp.path(), s);
    EXPECT_FALSE(result.complete);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].caption, "警告");
    EXPECT_EQ(result.messages[0].text, std::string(missing) + "が見つかりません");
  }
}

TEST(ItemFiles, LongKeysAndTextsAreCut) {
  TempFolder temp;
  copyFixtures(temp);
  writeCp932(temp / kFgdTreeFile, "header\r\nABCDEFGHIJKLMNOP\tグループ\t項目\t0\t12\t2\t1\t" + std::string(40, 'a') +
                                      "\t12345678901234567890\t\t0\r\n\t標高Mesh   5m\r\n");
  DrawingSettings s;
  ASSERT_TRUE(loadItemFiles(temp.path(), s).complete);
  const auto& e = s.fgdLayers.groups[0].items[0].entry;
  EXPECT_EQ(e.key, "ABCDEFGHIJKL");
  EXPECT_EQ(e.attributeValue.size(), 30u);
  EXPECT_EQ(e.option, "1234567890123456");
}

TEST(ItemFiles, BadNumberNamesFileAndLine) {
  TempFolder temp;
  copyFixtures(temp);
  writeCp932(temp / kFgdTreeFile,
             "header\r\nA-1\tG\tI\t255\t12\t2\t1\t\t\t\t0\r\nA-2\tG\tJ\tred\t12\t2\t1\t\t\t\t0\r\n");
  DrawingSettings s;
  auto result = loadItemFiles(temp.path(), s);
  EXPECT_FALSE(result.complete);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_NE(result.messages[0].text.find("kibanchizu-tree.txt 3行目"), std::string::npos) << result.messages[0].text;
  EXPECT_NE(result.messages[0].text.find("red"), std::string::npos);
}

// A tree without items is refused at start; names that no layer may carry are mended and
// told once.
TEST(ItemFiles, EmptyTreesAndNamesNoLayerMayCarry) {
  struct Case {
    const char* what;
    const char* file;
    std::string bytes;  // as written
    bool complete;
    std::string message;  // caption, a tab, text
  };
  const std::string mending = "警告\t画層名に使えない文字を _ に置き換えました (";
  const std::vector<Case> cases = {
      {"empty vector tree", kFgdTreeFile, "", false, "起動時に障害発生\tkibanchizu-tree.txt に項目がありません"},
      {"header only", kBasicInfoTreeFile, "header\r\neod\r\n", false,
       "起動時に障害発生\tkokudokihon-tree.txt に項目がありません"},
      {"forbidden characters", kFgdTreeFile,
       platform::utf8ToCp932("header\r\nA-1\tG<1>\tI/J:K\t255\t12\t2\t1\t\t\t\t0\r\n\t標高Mesh   5m\r\n"), true,
       mending + "kibanchizu-tree.txt 2行目 ほか)"},
      {"not CP932 (UTF-8 with BOM)", kMlitItemFile, "\xEF\xBB\xBFK1\t\xF0\x9F\x98\x80名\t0\t1\t<a\t</a>\tx\t<v\r\n", true,
       mending + "mlit-GML.txt 1行目 ほか)"},
      {"bytes that are not CP932", kMlitItemFile, "K1\t\x81\x7F\x82\xA0\t0\t1\t<a\t</a>\tx\t<v\r\n", true,
       mending + "mlit-GML.txt 1行目 ほか)"},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    copyFixtures(temp);
    writeBytes(temp / c.file, c.bytes);
    DrawingSettings s;
    auto result = loadItemFiles(temp.path(), s);
    EXPECT_EQ(result.complete, c.complete) << c.what;
    ASSERT_EQ(result.messages.size(), 1u) << c.what;
    EXPECT_EQ(result.messages[0].caption + "\t" + result.messages[0].text, c.message) << c.what;
    if (!c.complete) continue;
    // Every caption is now a name the layer table can write as it stands.
    std::vector<std::string> captions;
    for (const auto& g : s.fgdLayers.groups)
      for (const auto& item : g.items) captions.push_back(item.caption);
    for (const auto& m : s.mlitLayers) captions.push_back(m.caption);
    for (const auto& caption : captions) {
      EXPECT_EQ(caption.find_first_of("<>/\\\":;?*|=`"), std::string::npos) << caption;
      EXPECT_TRUE(platform::representableInCp932(caption)) << caption;
    }
  }
}

TEST(ItemFiles, TooManyNationalLandItemsEndTheProgram) {
  TempFolder temp;
  copyFixtures(temp);
  std::string lines;
  for (int i = 0; i < 102; ++i) lines += "K" + std::to_string(i) + "\t名前\t0\t1\t<a\t</a>\tx\t<v\r\n";
  writeCp932(temp / kMlitItemFile, lines);
  DrawingSettings s;
  auto result = loadItemFiles(temp.path(), s);
  EXPECT_TRUE(result.programEnds);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].caption, "起動時に障害発生");
  EXPECT_EQ(result.messages[0].text, "mlit-GML.txt の項目が多すぎます。");

  lines.clear();
  for (int i = 0; i < 101; ++i) lines += "K" + std::to_string(i) + "\t名前\t0\t1\t<a\t</a>\tx\t<v\r\n";
  writeCp932(temp / kMlitItemFile, lines);
  DrawingSettings t;
  EXPECT_TRUE(loadItemFiles(temp.path(), t).complete);
  EXPECT_EQ(t.mlitLayers.size(), 101u);
}

TEST(ItemFiles, ShippedFilesLoad) {
  DrawingSettings s;
  auto result = loadItemFiles(std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data", s);
  ASSERT_TRUE(result.complete) << (result.messages.empty() ? "" : result.messages[0].text);
  EXPECT_GT(s.fgdLayers.groups.size(), 20u);
  EXPECT_FALSE(s.mlitLayers.empty());
  EXPECT_FALSE(s.basicInfoLayers.groups.empty());
  EXPECT_EQ(s.meshSourceCaptions[0], "標高Mesh   5m");
  for (const auto& caption : s.contourSourceCaptions) EXPECT_FALSE(caption.empty());
  // Keys are the settings-file keys: unique within a tree.
  for (const LayerTree* tree : {&s.fgdLayers, &s.basicInfoLayers}) {
    std::set<std::string> keys;
    for (const auto& g : tree->groups)
      for (const auto& item : g.items) EXPECT_TRUE(keys.insert(item.entry.key).second) << item.entry.key;
  }
}

// The standard settings files are generated from the item files; an item added without
// running the tool would start with no standard colour and be missing from Checkclear.
TEST(ItemFiles, StandardSettingsFilesAreGeneratedFromTheItemFiles) {
  TempFolder temp;
  const auto data = std::filesystem::path(TERRALINEA_SOURCE_DIR) / "data";
  for (const char* name : {kFgdTreeFile, kMlitItemFile, kBasicInfoTreeFile})
    std::filesystem::copy_file(data / name, temp / name);
  const std::string tool =
      "/usr/bin/python3 '" +
      (std::filesystem::path(TERRALINEA_SOURCE_DIR) / "tools" / "make_standard_settings.py").string() + "' '" +
      temp.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(tool.c_str()), 0);
  for (const char* name : {"基盤地図情報標準.trl", "国土数値情報標準色.trl", "国土基本情報標準.trl", "Checkclear.trl"})
    EXPECT_EQ(readBytes(data / utf8Path(name)), readBytes(temp.path() / utf8Path(name))) << name;
}
