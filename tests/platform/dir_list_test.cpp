#include "platform/dir_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "tests/common/temp_folder.h"

using namespace platform;

TEST(WildcardMatch, MasksOfTheReaders) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*dem5*.xml", "FG-GML-3624-30-76-DEM5B-20170202.xml", true},
      {"*dem5*.xml", "FG-GML-5339-45-dem5a-20161001.XML", true},
      // The mask only asks for "dem5" somewhere: 50 m files match it too.
      {"*dem5*.xml", "FG-GML-5339-45-DEM50-20161001.xml", true},
      {"*dem5*.xml", "x-dem50.txt", false},
      {"*dem5*.xml", "FG-GML-5339-45-DEM10B-20161001.xml", false},
      {"*dem250*.xml", "FG-GML-5339-DEM250-20161001.xml", true},
      {"*.flt", "etopo1_ice_g_f4.flt", true},
      {"*.flt", "etopo1_ice_g_f4.flt.zip", false},
      {"*-AdmArea-*.xml", "FG-GML-533945-AdmArea-20230101-0001.xml", true},
      {"*-AdmArea-*.xml", "FG-GML-533945-AdmBdry-20230101-0001.xml", false},
      {"P12-*.xml", "p12-14_13.xml", true},
      {"P12-*.xml", "XP12-14_13.xml", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c", "a地c", true},  // "?" is one character, not one byte
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"**a**", "bab", true},
      {"*a*b*c*", "xxaxxbxxcxx", true},
      {"*a*b*c*", "xxaxxcxxbxx", false},
      {"地図*.TXT", "地図一覧.txt", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
  }
}

namespace {

std::set<std::string> relativeNames(const std::vector<std::filesystem::path>& files,
                                    const std::filesystem::path& root) {
  std::set<std::string> out;
  for (const auto& f : files) out.insert(f.lexically_relative(root).generic_string());
  return out;
}

}  // namespace

TEST(ListFiles, RecursiveAndFlatOnATree) {
  TempFolder tmp;
  for (const char* name : {"a.xml", "B.XML", "notes.txt", "sub/c.xml", "sub/deep/d.xml", "sub/deep/e.txt"}) {
    writeBytes(tmp / name, "x");
  }
  std::filesystem::create_directories(tmp / "folder.xml");  // a folder is never listed

  const auto flat = listFiles(tmp.path(), "*.xml", false);
  EXPECT_EQ(relativeNames(flat, tmp.path()), (std::set<std::string>{"a.xml", "B.XML"}));
  EXPECT_EQ(flat.size(), 2u);

  const auto deep = listFiles(tmp.path(), "*.xml", true);
  EXPECT_EQ(relativeNames(deep, tmp.path()), (std::set<std::string>{"a.xml", "B.XML", "sub/c.xml", "sub/deep/d.xml"}));
  EXPECT_EQ(deep.size(), 4u);

  // Results carry the folder, so callers can open them as they are.
  for (const auto& f : deep) EXPECT_TRUE(std::filesystem::is_regular_file(f)) << f;
}

TEST(ListFiles, MissingFolderGivesNothing) {
  TempFolder tmp;
  EXPECT_TRUE(listFiles(tmp / "missing", "*", false).empty());
  EXPECT_TRUE(listFiles(tmp / "missing", "*", true).empty());
  writeBytes(tmp / "file.xml", "x");
  EXPECT_TRUE(listFiles(tmp / "file.xml", "*", true).empty());  // not a folder
}

TEST(ListFiles, FollowsFileLinksButNotFolderLoops) {
  TempFolder tmp;
  writeBytes(tmp / "sub/real.xml", "x");
  std::filesystem::create_symlink("real.xml", tmp / "sub/link.xml");
  std::filesystem::create_directory_symlink("..", tmp / "sub/loop");
  const auto deep = listFiles(tmp.path(), "*.xml", true);
  EXPECT_EQ(relativeNames(deep, tmp.path()), (std::set<std::string>{"sub/real.xml", "sub/link.xml"}));
}
