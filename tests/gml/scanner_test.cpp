#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>

#include "converter/gml/line_scanner.h"
#include "platform/text.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

using namespace gml;

namespace {

std::vector<std::string> allLines(const std::filesystem::path& file, bool* utf8 = nullptr) {
  LineScanner in(file);
  std::vector<std::string> out;
  std::string_view line;
  while (in.next(line)) out.emplace_back(line);
  if (utf8) *utf8 = in.utf8();
  return out;
}

}  // namespace

TEST(LineScanner, EncodingFromTheFirstLine) {
  TempFolder temp;
  // UTF-8 declared: the declaration is consumed; CRLF and LF both end lines; a last
  // line without an end still counts.
  writeBytes(temp / "a.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<name>玄界島</name>\r\nb\nc");
  bool utf8 = false;
  EXPECT_EQ(allLines(temp / "a.xml", &utf8), (std::vector<std::string>{"<name>玄界島</name>", "b", "c"}));
  EXPECT_TRUE(utf8);
  // With a byte order mark in front.
  writeBytes(temp / "bom.xml", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\nx\r\n");
  EXPECT_EQ(allLines(temp / "bom.xml"), (std::vector<std::string>{"x"}));
  // No utf-8 declaration: the file is CP932 and its first line is data too.
  writeBytes(temp / "sjis.xml", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n" +
                                    platform::utf8ToCp932("<name>玄界島</name>") + "\r\n");
  EXPECT_EQ(allLines(temp / "sjis.xml", &utf8),
            (std::vector<std::string>{"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>", "<name>玄界島</name>"}));
  EXPECT_FALSE(utf8);
}

TEST(LineScanner, LinesLongerThanTheReadChunkAndMissingFiles) {
  TempFolder temp;
  std::string longLine(3 << 20, 'x');
  writeBytes(temp / "long.xml", "encoding=\"utf-8\"\n" + longLine + "\nend\n");
  auto lines = allLines(temp / "long.xml");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), longLine.size());
  EXPECT_EQ(lines[1], "end");
  EXPECT_THROW(LineScanner(temp / "missing.xml"), ReadError);
}

TEST(LineScanner, NumbersIgnoreTheLocale) {
  // A locale with a decimal comma must not change how "33.5" reads.
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_DOUBLE_EQ(parseReal("33.684691954"), 33.684691954);
  std::setlocale(LC_NUMERIC, "C");
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  for (const Case& c : {Case{"217.88", true, 217.88}, Case{" 30 ", true, 30}, Case{"-9999.", true, -9999},
                        Case{"+1.5", true, 1.5}, Case{"1E3", true, 1000}, Case{"", false, 0}, Case{"3m未満", false, 0},
                        Case{"1,5", false, 0}, Case{"KJ12", false, 0}}) {
    if (c.ok)
      EXPECT_DOUBLE_EQ(parseReal(c.text), c.value) << c.text;
    else
      EXPECT_THROW(parseReal(c.text), ReadError) << c.text;
  }
  EXPECT_EQ(parseWhole("2500"), 2500);
  EXPECT_THROW(parseWhole("2500.5"), ReadError);
  EXPECT_THROW(parseWhole(""), ReadError);
}

TEST(LineScanner, TagsShortenTheLineAndPairsSplitAtTheBlank) {
  std::string_view line = "<type>普通建物</type><orgGILvl>2500</orgGILvl>";
  EXPECT_TRUE(take(line, "<type>"));
  EXPECT_EQ(valueUpTo(line), "普通建物");
  // A later element on the same line is still found after the earlier one.
  EXPECT_TRUE(take(line, "<orgGILvl>"));
  EXPECT_EQ(valueUpTo(line), "2500");
  EXPECT_FALSE(take(line, "<type>"));
  std::string_view road = "<rdCtg>国道</rdCtg>";
  ASSERT_TRUE(take(road, "<rdCtg>"));
  EXPECT_EQ(valueUpTo(road, "</"), "国道");

  double lat = 0, lon = 0;
  parsePair("  33.684691954 130.237279665", lat, lon);
  EXPECT_DOUBLE_EQ(lat, 33.684691954);
  EXPECT_DOUBLE_EQ(lon, 130.237279665);
  EXPECT_THROW(parsePair("33.684691954", lat, lon), ReadError);
  parsePosition("33.689604306 130.231637361</gml:pos>", lat, lon);
  EXPECT_DOUBLE_EQ(lon, 130.231637361);
  EXPECT_EQ(characterCount("玄界島ab"), 5u);
  EXPECT_TRUE(equalsNoCase("outOfData", "OUTOFDATA"));
  EXPECT_FALSE(equalsNoCase("普通建物", "堅ろう建物"));
}

TEST(LineScanner, TagLineTestsAgreeWithASearchOfTheLine) {
  // The note of what follows each "<" may only skip searches that would fail: every tag
  // test on a noted line, before and after taking tags, gives what a search gives.
  const std::vector<std::string> lines = {
      "<type>普通建物</type><orgGILvl>2500</orgGILvl>",
      "<gml:posList>",
      "</gml:posList>",
      "<gml:pos>33.689604306 130.231637361</gml:pos>",
      "33.684691954 130.237279665",
      "",
      "<",
      "a<b",
      "<gml:p",
      "</Anno>",
      "<annoCtg>110</annoCtg><knj>玄界島</knj></Anno>",
      "text <vis>表示</vis> and <type>x</type>",
  };
  const std::vector<std::string_view> tags = {"<type>", "<orgGILvl>", "<gml:posList>", "</gml:posList>",
                                              "<gml:pos>", "</Anno>", "<Anno", "<knj>", "<vis>", "<", "<b",
                                              "<gml:p", "</", "type>", "<gml:Point"};
  for (const auto& text : lines) {
    for (const auto first : tags) {
      for (const auto second : tags) {
        std::string_view plain = text;
        TagLine noted{text};
        noted.noteTags();
        EXPECT_EQ(tagFree(noted), tagFree(plain)) << text;
        EXPECT_EQ(take(noted, first), take(plain, first)) << text << " " << first;
        EXPECT_EQ(noted.text, plain) << text << " " << first;
        EXPECT_EQ(contains(noted, second), contains(plain, second)) << text << " " << first << " " << second;
        EXPECT_EQ(take(noted, second), take(plain, second)) << text << " " << first << " " << second;
      }
    }
  }
}

TEST(LineScanner, PairsReadInPlaceGiveTheBitsOfTheFieldByFieldReading) {
  // A pair in the published layout is read without splitting it; anything else goes the
  // way of parseReal on each half. Both must give the same doubles, or fail alike.
  struct Case {
    const char* name;
    std::string line;
  };
  const Case cases[] = {
      {"published", "33.684691954 130.237279665"},
      {"CR left", "33.684691954 130.237279665\r"},
      {"leading and trailing blanks", "   33.5 130.25 \t "},
      {"negative and whole", "-0.000000001 -130"},
      {"sixteen digits go to from_chars", "33.6846919541234 130.2372796651234"},
      {"exponent", "3.3E1 1.3e2"},
      {"plus sign", "+33.5 +130.5"},
      {"two blanks between", "33.5  130.5"},
      {"text after the pair", "33.5 130.5 x"},
      {"no longitude", "33.5"},
      {"comma", "33,5 130,5"},
  };
  for (const auto& c : cases) {
    double lat = 0, lon = 0, expectLat = 0, expectLon = 0;
    bool ok = true, expectOk = true;
    try {
      parsePair(c.line, lat, lon);
    } catch (const ReadError&) {
      ok = false;
    }
    // The reference: the pair split at its first blank, each half through parseReal.
    try {
      const std::string_view line = platform::trimStart(c.line, " ");
      const auto blank = line.find(' ');
      if (blank == std::string_view::npos) throw ReadError("no blank");
      expectLat = parseReal(line.substr(0, blank));
      expectLon = parseReal(line.substr(blank + 1, 99));
    } catch (const ReadError&) {
      expectOk = false;
    }
    ASSERT_EQ(ok, expectOk) << c.name;
    if (!ok) continue;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(lat), std::bit_cast<std::uint64_t>(expectLat)) << c.name;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(lon), std::bit_cast<std::uint64_t>(expectLon)) << c.name;
  }
}

TEST(LineScanner, LineNumbersCountTheDeclarationAndRewindStartsThere) {
  TempFolder temp;
  struct Case {
    const char* name;
    std::string bytes;
    const char* declaration;
  };
  const Case cases[] = {
      {"utf8.xml", "<?xml encoding=\"UTF-8\"?>\r\n<a>地</a>\nb\n", "<?xml encoding=\"UTF-8\"?>"},
      {"sjis.xml", "<?xml encoding=\"Shift_JIS\"?>\n" + platform::utf8ToCp932("<a>地</a>") + "\nb\n",
       "<?xml encoding=\"Shift_JIS\"?>"},
  };
  for (const auto& c : cases) {
    writeBytes(temp / c.name, c.bytes);
    LineScanner in(temp / c.name);
    std::vector<std::pair<std::int64_t, std::string>> seen;
    std::string_view line;
    while (in.next(line)) seen.emplace_back(in.lineNumber(), line);
    // A UTF-8 declaration is consumed at opening but still counts as line 1.
    std::vector<std::pair<std::int64_t, std::string>> expected = {{2, "<a>地</a>"}, {3, "b"}};
    if (!in.utf8()) expected.insert(expected.begin(), {1, c.declaration});
    EXPECT_EQ(seen, expected) << c.name;
    // After a rewind the first line comes again, in either encoding.
    ASSERT_TRUE(in.rewind());
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, c.declaration) << c.name;
    EXPECT_EQ(in.lineNumber(), 1);
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, "<a>地</a>") << c.name;
  }
  // CP932 lines taken as read, before and after a rewind.
  LineScanner in(temp / "sjis.xml", {.cp932Lines = ScanOptions::Cp932Lines::asRead});
  std::string_view line;
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, "<?xml encoding=\"Shift_JIS\"?>");
    ASSERT_TRUE(in.next(line));
    EXPECT_EQ(line, platform::utf8ToCp932("<a>地</a>"));
    EXPECT_EQ(in.lineNumber(), 2);
    ASSERT_TRUE(in.rewind());
  }
}

TEST(LineScanner, OpenFailuresLongLinesAndPositions) {
  TempFolder temp;
  // A missing file cannot be opened; a folder opens but its first line cannot be read.
  EXPECT_THROW(LineScanner(temp / "missing.xml"), OpenError);
  try {
    LineScanner folder(temp.path());
    ADD_FAILURE() << "a folder read as a file";
  } catch (const OpenError&) {
    ADD_FAILURE() << "a folder counted as missing";
  } catch (const ReadError&) {
  }

  writeBytes(temp / "long.xml", "utf-8\n0123456789abc\nend\n");
  {
    LineScanner in(temp / "long.xml", {.maxLine = 8});
    std::string_view line;
    EXPECT_THROW(in.next(line), ReadError);
  }
  LineScanner in(temp / "long.xml", {.maxLine = 8, .longLines = ScanOptions::LongLines::cut});
  std::string_view line;
  ASSERT_TRUE(in.next(line));
  EXPECT_EQ(line, "01234567");
  ASSERT_TRUE(in.next(line));
  EXPECT_EQ(line, "end");

  std::string_view first, second;
  ASSERT_TRUE(splitPosition("1124 749</gml:high>", first, second));
  EXPECT_EQ(first, "1124");
  EXPECT_EQ(second, "749");
  EXPECT_FALSE(splitPosition("1124</gml:high>", first, second));
}
