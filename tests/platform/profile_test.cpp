#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/temp_folder.h"

using namespace platform;

namespace {

// UTF-16LE bytes with BOM, built by hand so the test does not lean on the encoder under test.
std::string utf16leWithBom(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

}  // namespace

TEST(IniProfile, LookupIsCaseInsensitiveAndTrimmed) {
  // parse() takes the bytes of a file: CP932 unless a BOM says otherwise.
  const IniProfile p =
      IniProfile::parse(utf8ToCp932("orphan=1\n"
                                    "[ Kihon ]\r\n"
                                    "ReadFolder =  /data/fgd \t\r\n"
                                    "ver=13\n"
                                    "ver=99\n"
                                    "; note=not a key\n"
                                    "[area]\n"
                                    "namae=地図=名前\n"
                                    "empty=\n"));
  EXPECT_EQ(p.get("kihon", "readfolder"), "/data/fgd");
  EXPECT_EQ(p.get("KIHON", "READFOLDER"), "/data/fgd");
  EXPECT_EQ(p.getInt("kihon", "ver", 0), 13);  // the first of duplicate keys wins
  EXPECT_EQ(p.get("area", "namae"), "地図=名前");
  EXPECT_EQ(p.get("area", "empty"), "");
  EXPECT_EQ(p.get("area", "ver"), std::nullopt);
  EXPECT_EQ(p.get("", "orphan"), std::nullopt);  // keys before any section belong nowhere
  EXPECT_EQ(p.get("kihon", "; note"), std::nullopt);
  EXPECT_EQ(p.getString("alti", "alti5", "0"), "0");
  EXPECT_TRUE(p.hasSection("AREA"));
  EXPECT_FALSE(p.hasSection("alti"));
  EXPECT_EQ(p.keys("kihon"), (std::vector<std::string>{"ReadFolder", "ver"}));
}

TEST(IniProfile, GetIntAcceptsDecimalAndHexadecimal) {
  struct Case {
    const char* value;
    long expected;
  };
  const long fb = -777;
  const Case cases[] = {
      {"$0000FF", 255},
      {"$00ff00", 65280},
      {"0x10", 16},
      {"0XfF", 255},
      {"12", 12},
      {"-3", -3},
      {"+4", 4},
      {" 7 ", 7},
      {"-$10", -16},
      {"2147483647", 2147483647L},
      {"-2147483648", -2147483648L},
      {"$FFFFFFFF", -1},
      {"abc", fb},
      {"", fb},
      {"99999999999", fb},
      {"2147483648", fb},
      {"$100000000", fb},
      {"12abc", fb},
      {"1 2", fb},
      {"$", fb},
      {"0x", fb},
      {"-", fb},
      {"1.5", fb},
      {"- 1", fb},
  };
  for (const auto& c : cases) {
    IniProfile p;
    p.set("s", "k", c.value);
    EXPECT_EQ(p.getInt("s", "k", fb), c.expected) << '"' << c.value << '"';
  }
  EXPECT_EQ(IniProfile().getInt("s", "missing", 5), 5);
}

TEST(IniProfile, SetReplacesInPlaceAppendsToSectionOrAddsSection) {
  IniProfile p = IniProfile::parse(
      "; written by an older version\r\n"
      "[kihon]\r\n"
      "ver=12\r\n"
      "ReadFolder = old\r\n"
      "oldkey=kept\r\n"
      "\r\n"
      "[area]\r\n"
      "namae=a\r\n");
  p.set("KIHON", "readfolder", "新しい");  // existing key, other spelling
  p.set("kihon", "ver", "13");
  p.set("kihon", "cadtype", "2");  // new key of an existing section
  p.set("alti", "alti5", "1");     // new section
  p.set("alti", "alti10", "0");
  EXPECT_EQ(p.text(),
            "; written by an older version\r\n"
            "[kihon]\r\n"
            "ver=13\r\n"
            "ReadFolder=新しい\r\n"
            "oldkey=kept\r\n"
            "cadtype=2\r\n"
            "\r\n"
            "[area]\r\n"
            "namae=a\r\n"
            "[alti]\r\n"
            "alti5=1\r\n"
            "alti10=0\r\n");
  EXPECT_EQ(p.get("kihon", "ReadFolder"), "新しい");
  // A value cannot break its line.
  p.set("area", "namae", "two\r\nlines");
  EXPECT_EQ(IniProfile::parse(utf8ToCp932(p.text())).get("area", "namae"), "two  lines");
}

// The first key of a name in any block of its section, as a pass over the file finds it:
// after keys were put in front of others, for a section named with blanks, and in a copy.
TEST(IniProfile, FindsTheFirstKeyOfANameAfterChanges) {
  IniProfile p = IniProfile::parse("[a]\nx=1\n[b]\ny=2\n[A]\nx=3\nz=4\n");
  EXPECT_EQ(p.get("a", "x"), "1");
  EXPECT_EQ(p.get("a", "z"), "4");  // in the section's second block
  p.set("a", "w", "5");             // after x=1: every later line moves down
  p.set("b", "v", "6");
  EXPECT_EQ(p.get("B", "Y"), "2");
  p.set("a", "z", "7");  // replaced where it is
  EXPECT_EQ(p.text(), "[a]\r\nx=1\r\nw=5\r\n[b]\r\ny=2\r\nv=6\r\n[A]\r\nx=3\r\nz=7\r\n");
  p.set(" c ", "k", "8");  // a new section, its name stored without the blanks
  EXPECT_EQ(p.get("c", "k"), "8");
  EXPECT_EQ(p.get(" c ", "k"), std::nullopt);
  const IniProfile copy = p;
  p.set("a", "x", "9");
  EXPECT_EQ(copy.get("a", "x"), "1");
  EXPECT_EQ(p.get("a", "x"), "9");
  EXPECT_EQ(p.get("a", "missing"), std::nullopt);
  EXPECT_EQ(p.get("1:a", "x"), std::nullopt);
}

TEST(IniProfile, SetIntoAnEmptySectionGoesRightAfterItsHeader) {
  IniProfile p = IniProfile::parse("[a]\n\n[b]\nx=1\n");
  p.set("a", "k", "v");
  EXPECT_EQ(p.text(), "[a]\r\nk=v\r\n\r\n[b]\r\nx=1\r\n");
}

TEST(IniProfile, LoadsUtf16FileAndSavesItBackInUtf16) {
  TempFolder tmp;
  const auto file = tmp / "LastDraw.trl";
  writeBytes(file, utf16leWithBom(u"[kihon]\r\nreadfolder=地図\r\nver=12\r\n"));

  IniProfile p = IniProfile::load(file);
  EXPECT_TRUE(p.exists());
  EXPECT_EQ(p.encoding(), TextEncoding::Utf16Le);
  EXPECT_EQ(p.get("kihon", "readfolder"), "地図");
  EXPECT_EQ(p.getInt("kihon", "ver", 0), 12);

  p.set("kihon", "ver", "13");
  p.set("area", "namae", "𠮷");  // UTF-16 holds what CP932 cannot
  std::string error;
  ASSERT_TRUE(p.save(file, &error)) << error;
  EXPECT_EQ(readBytes(file), utf16leWithBom(u"[kihon]\r\nreadfolder=地図\r\nver=13\r\n[area]\r\nnamae=𠮷\r\n"));
}

TEST(IniProfile, Cp932FileRoundTripsByteForByte) {
  TempFolder tmp;
  const auto file = tmp / "a.trl";
  const std::string bytes = "[area]\r\nnamae=\x92\x6E\x90\x7D\r\nunknown=\x81\x60\r\n";
  writeBytes(file, bytes);
  const IniProfile p = IniProfile::load(file);
  EXPECT_EQ(p.encoding(), TextEncoding::Cp932);
  EXPECT_EQ(p.get("area", "namae"), "地図");
  ASSERT_TRUE(p.save(file));
  EXPECT_EQ(readBytes(file), bytes);
}

TEST(IniProfile, MissingFileIsEmptyAndSavedAsCp932) {
  TempFolder tmp;
  IniProfile p = IniProfile::load(tmp / "new.trl");
  EXPECT_FALSE(p.exists());
  EXPECT_TRUE(p.text().empty());
  p.set("area", "namae", "①𠮷");
  ASSERT_TRUE(p.save(tmp / "new.trl"));
  EXPECT_EQ(readBytes(tmp / "new.trl"), "[area]\r\nnamae=\x87\x40?\r\n");
}

TEST(IniProfile, BinaryJunkLoadsWithoutHarm) {
  TempFolder tmp;
  std::string junk = "[a]";
  junk += std::string("\0\0\xFF\x80\r\n", 6);
  junk += std::string("k=v\0x\n\x81", 7);
  for (int i = 0; i < 512; ++i) junk += static_cast<char>((i * 37) & 0xFF);
  writeBytes(tmp / "junk.trl", junk);
  const IniProfile p = IniProfile::load(tmp / "junk.trl");
  EXPECT_TRUE(p.exists());
  EXPECT_EQ(p.encoding(), TextEncoding::Cp932);
  EXPECT_TRUE(p.hasSection("a"));
  ASSERT_TRUE(p.get("a", "k").has_value());
  EXPECT_EQ(p.get("a", "k")->substr(0, 1), "v");
  EXPECT_TRUE(p.save(tmp / "junk-out.trl"));
}

TEST(IniProfile, SaveReportsFailure) {
  TempFolder tmp;
  IniProfile p;
  p.set("kihon", "ver", "13");
  std::string error;
  EXPECT_FALSE(p.save(tmp / "no-such-folder" / "x.trl", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(tmp / "no-such-folder"));

  error.clear();
  std::filesystem::create_directory(tmp / "a-folder");
  EXPECT_FALSE(p.save(tmp / "a-folder", &error));  // the path is a folder
  EXPECT_FALSE(error.empty());

  EXPECT_FALSE(p.save(tmp / "no-such-folder" / "x.trl"));  // without a place for the reason
}

TEST(IniProfile, SaveReportsAFullDisk) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  IniProfile p;
  p.set("kihon", "ver", "13");
  std::string error;
  EXPECT_FALSE(p.save("/dev/full", &error));
  EXPECT_FALSE(error.empty());
}
