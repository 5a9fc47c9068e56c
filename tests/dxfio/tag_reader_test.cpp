#include "dxfio/tag_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/temp_folder.h"

using dxfio::TagReader;

namespace {

struct Read {
  int code;
  std::string value;
  long long line;
  bool operator==(const Read&) const = default;
};

std::vector<Read> readAll(TagReader& r) {
  std::vector<Read> out;
  while (r.next()) out.push_back({r.code(), std::string(r.value()), r.line()});
  return out;
}

TEST(TagReader, PairsWithBlanksCaseAndLineEnds) {
  TempFolder temp;
  const int none = TagReader::kNoCode;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<Read> pairs;
  } cases[] = {
      {"crlf", "0\r\nSECTION\r\n2\r\nentities\r\n", {{0, "SECTION", 1}, {2, "entities", 3}}},
      {"lf and a last line without its end",
       "0\nline\n8\nLayer a\n1\nText b",
       {{0, "LINE", 1}, {8, "Layer a", 3}, {1, "Text b", 5}}},
      // Blanks at the start of both lines go; blanks at the end stay.
      {"blanks", "  0\r\n  Line  \r\n\t 10\r\n   1.5\r\n", {{0, "LINE  ", 1}, {10, "1.5", 3}}},
      {"codes 1, 2 and 8 keep their case, others are upper-cased",
       "1\r\nabc\r\n2\r\nabc\r\n3\r\nabc\r\n8\r\nabc\r\n9\r\n$pdmode\r\n1000\r\nÄbc\r\n",
       {{1, "abc", 1}, {2, "abc", 3}, {3, "ABC", 5}, {8, "abc", 7}, {9, "$PDMODE", 9}, {1000, "ÄBC", 11}}},
      {"code lines that are no whole number",
       "0 \r\nA\r\nx\r\nB\r\n1.0\r\nC\r\n\r\nD\r\n-5\r\nE\r\n",
       {{none, "A", 1}, {none, "B", 3}, {none, "C", 5}, {none, "D", 7}, {-5, "E", 9}}},
      {"a code without its value ends the file", "0\r\nEOF\r\n999\r\n", {{0, "EOF", 1}}},
      {"empty values", "1\r\n\r\n0\r\n\r\n", {{1, "", 1}, {0, "", 3}}},
      {"nothing", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(temp / "t.dxf", c.bytes);
    TagReader r;
    ASSERT_TRUE(r.open(temp / "t.dxf"));
    EXPECT_EQ(readAll(r), c.pairs);
    EXPECT_FALSE(r.readError());
  }
}

TEST(TagReader, RewindStopAndLongFiles) {
  TempFolder temp;
  // Far more than one buffer, so that pairs straddle the refills.
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += " 10\r\n" + std::to_string(i) + ".25\r\n  8\r\nlayer\r\n";
  writeBytes(temp / "big.dxf", bytes);
  TagReader r;
  EXPECT_FALSE(r.open(temp / "missing.dxf"));
  ASSERT_TRUE(r.open(temp / "big.dxf"));
  for (int pass = 0; pass < 2; ++pass) {
    long long pairs = 0;
    bool ordered = true;
    while (r.next()) {
      if (pairs % 2 == 0) ordered = ordered && r.value() == std::to_string(pairs / 2) + ".25" && r.code() == 10;
      ++pairs;
    }
    EXPECT_TRUE(ordered);
    EXPECT_EQ(pairs, 400000);
    EXPECT_EQ(r.line(), 799999);
    EXPECT_EQ(r.bytesRead(), bytes.size());
    ASSERT_TRUE(r.rewind());
  }
  ASSERT_TRUE(r.next());
  EXPECT_EQ(r.line(), 1);
  r.stop();
  EXPECT_FALSE(r.next());
  ASSERT_TRUE(r.rewind());  // a rewind reads again
  EXPECT_TRUE(r.next());
}

TEST(TagReader, GroupCodes) {
  EXPECT_EQ(dxfio::parseGroupCode("0"), 0);
  EXPECT_EQ(dxfio::parseGroupCode("1071"), 1071);
  EXPECT_EQ(dxfio::parseGroupCode("-1"), -1);
  EXPECT_EQ(dxfio::parseGroupCode("007"), 7);
  for (const char* bad : {"", "-", "+1", "1 ", "1a", "1234567890", "0x10"})
    EXPECT_EQ(dxfio::parseGroupCode(bad), TagReader::kNoCode) << bad;
}

}  // namespace
