#include <gtest/gtest.h>

#include "converter/settings/outside_links.h"
#include "platform/text_codec.h"
#include "tests/settings/fixture.h"

using namespace settings;

TEST(OutsideLinks, ArchiveFolderOfADataFolder) {
  struct Row {
    const char* name;
    const char* folder;
    const char* unpacked;
  };
  const Row rows[] = {
      {"data set folder kept", "/d/地図データ/基盤地図情報/FG-GML-5339", "/d/地図データ/基盤地図情報"},
      {"data set folder itself", "/d/国土数値情報", "/d/国土数値情報"},
      {"deeper below the basic info folder", "/d/国土基本情報/a/b", "/d/国土基本情報"},
      {"longer name is not the folder", "/d/基盤地図情報2/x", "/d/基盤地図情報2"},
      {"other folder loses its last part", "/data/fgd", "/data"},
      {"trailing separator only", "/data/fgd/", "/data/fgd"},
      {"no separator", "fgd", "fgd"},
  };
  for (const Row& r : rows) EXPECT_EQ(archiveFolderFor(r.folder), r.unpacked) << r.name;
}

TEST(OutsideLinks, MapLinkFileReplacesAddressesInOrder) {
  TempFolder temp;
  // Six lines: the first three addresses only.
  writeBytes(temp / "maplink.txt", platform::utf8ToCp932("座標系\r\nhttp://a/\r\nDL\r\nhttp://b/\r\n数値\r\nhttp://c/\r\n"));
  PageLinks links = builtInPageLinks();
  ASSERT_TRUE(readMapLinks(temp / "maplink.txt", links));
  EXPECT_EQ(links[0], "http://a/");
  EXPECT_EQ(links[1], "http://b/");
  EXPECT_EQ(links[2], "http://c/");
  for (std::size_t i = 3; i < kPageCount; ++i) EXPECT_EQ(links[i], builtInPageLinks()[i]) << i;
  EXPECT_FALSE(readMapLinks(temp / "missing.txt", links));
  EXPECT_EQ(links[0], "http://a/");
}

TEST(OutsideLinks, FolderListingNamesMatchingFilesPatternByPattern) {
  TempFolder temp;
  std::filesystem::create_directories(temp / "sub");
  for (const char* name : {"FG-GML-5339-AdmArea-1.xml", "FG-GML-5339-RdEdg-1.xml", "a.zip"}) writeBytes(temp / name, "x");
  writeBytes(temp / "sub" / "FG-GML-5340-AdmArea-1.xml", "x");
  const std::string flat = folderListing("Terralinea 1.2", "基盤地図情報フォルダ", temp.path(), {"*-AdmArea-*.xml", "*.zip"}, false);
  EXPECT_EQ(flat, "Terralinea 1.2\r\n基盤地図情報フォルダ:" + temp.path().string() +
                      "\r\nFG-GML-5339-AdmArea-1.xml\r\na.zip\r\n");
  const std::string deep = folderListing("T", "L", temp.path(), {"*-AdmArea-*.xml"}, true);
  EXPECT_NE(deep.find("FG-GML-5340-AdmArea-1.xml\r\n"), std::string::npos);
  EXPECT_EQ(deep.find("RdEdg"), std::string::npos);
}
