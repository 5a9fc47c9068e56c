#include "platform/text.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Text, TrimmingTakesOnlyTheNamedCharacters) {
  struct Case {
    const char* text;
    const char* characters;
    const char* start;
    const char* end;
    const char* both;
  };
  const Case cases[] = {
      {" \tab c\t ", " \t", "ab c\t ", " \tab c", "ab c"},
      {"abc", " \t", "abc", "abc", "abc"},
      {" \t \t", " \t", "", "", ""},
      {"", " \t", "", "", ""},
      // Other white space is kept unless named.
      {"\r 5 \r", " \t", "\r 5 \r", "\r 5 \r", "\r 5 \r"},
      {"\r 5 \r", " \r", "5 \r", "\r 5", "5"},
      {"x\n\n", "\n", "x\n\n", "x", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trimStart(c.text, c.characters), c.start) << c.text;
    EXPECT_EQ(trimEnd(c.text, c.characters), c.end) << c.text;
    EXPECT_EQ(trim(c.text, c.characters), c.both) << c.text;
  }
  EXPECT_TRUE(isBlank(""));
  EXPECT_TRUE(isBlank(" \t "));
  EXPECT_FALSE(isBlank(" \r"));
  EXPECT_FALSE(isBlank("　"));  // an ideographic space is text
}

TEST(Text, CaseFoldingIsAsciiOnly) {
  EXPECT_EQ(lowerAscii("UTF-8 Ab[Z]@"), "utf-8 ab[z]@");
  EXPECT_EQ(upperAscii("dem5a-{z}`"), "DEM5A-{Z}`");
  EXPECT_EQ(upperAscii("ａｂ地"), "ａｂ地");  // full-width letters are not ASCII
  EXPECT_TRUE(equalsNoCase("outOfData", "OUTOFDATA"));
  EXPECT_TRUE(equalsNoCase("", ""));
  EXPECT_FALSE(equalsNoCase("abc", "abcd"));
  EXPECT_FALSE(equalsNoCase("[", "{"));        // 0x5B and 0x7B differ by the case bit only
  EXPECT_FALSE(equalsNoCase("\xC4", "\xE4"));  // Latin-1 letters stay as they are
  EXPECT_FALSE(equalsNoCase("普通建物", "堅ろう建物"));
  EXPECT_TRUE(contains("<gml:pos>1 2</gml:pos>", "<gml:pos>"));
  EXPECT_FALSE(contains("<gml:posList>", "<gml:pos>x"));
  EXPECT_TRUE(contains("a", ""));
}

TEST(Text, Utf8Characters) {
  const std::string_view text = "玄a界島b";  // 3 + 1 + 3 + 3 + 1 bytes
  EXPECT_EQ(characterCount(text), 5u);
  EXPECT_EQ(characterCount(""), 0u);
  EXPECT_EQ(characterLength(text, 0), 3u);
  EXPECT_EQ(characterLength(text, 3), 1u);
  EXPECT_EQ(characterLength("\xF0\x9F\x97\xBE", 0), 4u);
  // A cut character ends with the text.
  EXPECT_EQ(characterLength("a\xE7\x8E", 1), 2u);
  EXPECT_EQ(firstCharacters(text, 0), "");
  EXPECT_EQ(firstCharacters(text, 2), "玄a");
  EXPECT_EQ(firstCharacters(text, 4), "玄a界島");
  EXPECT_EQ(firstCharacters(text, 99), text);
}
