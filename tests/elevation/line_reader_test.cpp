#include "converter/elevation/line_reader.h"

#include <gtest/gtest.h>

#include "tests/common/temp_folder.h"

using elevation::LineReader;

TEST(LineReader, LineEndsLongLinesAndTheLastLine) {
  TempFolder temp;
  const std::string longLine(LineReader::kBufferSize + 1000, 'x');
  writeBytes(temp / "f.txt", "a\r\nb\n\n" + longLine + "\r\nafter\r\nlast");
  LineReader in;
  ASSERT_TRUE(in.open(temp / "f.txt"));
  std::vector<std::string> lines;
  for (int pass = 0; pass < 2; ++pass) {
    lines.clear();
    std::string_view line;
    while (in.next(line)) lines.emplace_back(line);
    in.rewind();
  }
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], std::string(LineReader::kBufferSize, 'x'));  // cut at the buffer
  EXPECT_EQ(lines[4], "after");
  EXPECT_EQ(lines[5], "last");
  EXPECT_FALSE(in.readError());
  EXPECT_FALSE(LineReader().open(temp / "absent.txt"));
}

TEST(LineReader, NumbersAreReadWithAFullStopWhateverTheLocale) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {{"1.20", true, 1.2}, {"-9999.", true, -9999}, {" 12.5 ", true, 12.5}, {"+3", true, 3},
                        {"1e3", true, 1000}, {"0.00", true, 0},       {"1,5", false, 0},      {"", false, 0},
                        {"abc", false, 0},   {"nan", false, 0},       {"inf", false, 0},      {"2O.5", false, 0},
                        {"12 3", false, 0}};
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_EQ(elevation::parseDecimal(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
  std::int64_t n = 0;
  EXPECT_TRUE(elevation::parseWhole("1124", n));
  EXPECT_EQ(n, 1124);
  EXPECT_FALSE(elevation::parseWhole("11.5", n));
}
