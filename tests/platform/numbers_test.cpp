#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

// Short decimals take a shortcut past from_chars; every one must give the same bits.
TEST(Numbers, ShortDecimalsGiveTheBitsFromCharsGives) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  auto next = [&] { return state ^= state << 13, state ^= state >> 7, state ^= state << 17; };
  for (int i = 0; i < 200000; ++i) {
    const int digits = static_cast<int>(next() % 16) + 1;  // 1 .. 16, one past the shortcut
    std::string text = next() & 1 ? "-" : "";
    const int point = static_cast<int>(next() % static_cast<std::uint64_t>(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + next() % 10);
    }
    double expected = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
    ASSERT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    double v = 0;
    ASSERT_TRUE(platform::parseDecimal(text, v)) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected)) << text;
  }
}

// The decimal a text starts with: its length, and the bits from_chars gives for that much.
// Eight fraction digits are read at once where the text has them; these rows put the end
// of the view, a stop and a non-digit at each side of those eight, and the digit limit.
TEST(Numbers, LeadingDecimals) {
  struct Case {
    const char* name;
    const char* text;
    std::size_t length;  // 0: no decimal
  };
  const Case cases[] = {
      {"published latitude", "33.666666667 130.209721167", 12},
      {"published longitude", "130.209721167", 13},
      {"eight fraction digits at the end", "1.12345678", 10},
      {"seven and a stop", "1.1234567x", 9},
      {"a letter inside the eight", "1.1234a678 ", 6},
      {"fifteen digits", "1234567.12345678 ", 16},
      {"sixteen digits", "12345678.12345678", 0},
      {"seven integer digits and nine", "1234567.123456789", 0},
      {"negative", "-0.00000001 1", 11},
      {"point only at the end", "5.", 2},
      {"no integer digits", ".12345678", 9},
      {"no digits", "-. 1", 0},
  };
  for (const Case& c : cases) {
    double v = -1;
    const std::size_t n = platform::leadingDecimal(c.text, v);
    EXPECT_EQ(n, c.length) << c.name;
    if (n == 0 || n != c.length) continue;
    double expected = 0;
    std::from_chars(c.text, c.text + n, expected);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(expected)) << c.name;
  }
}

TEST(Numbers, EdgeTexts) {
  struct Case {
    const char* name;
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"trailing point", "12.", true, 12},
      {"leading point", ".5", true, 0.5},
      {"signed leading point", "-.5", true, -0.5},
      {"point alone", ".", false, 0},
      {"sign alone", "-", false, 0},
      {"two points", "1.2.3", false, 0},
      {"sixteen digits", "1234567890.123456", true, 1234567890.123456},
      {"exponent", "-2.5E-3", true, -0.0025},
      {"tab and CR around", "\t7.25\r", true, 7.25},
      {"plus sign", "+3.5", true, 3.5},
      {"plus before minus", "+-1", false, 0},
      {"two plus signs", "++1", false, 0},
      {"plus alone", "+", false, 0},
      {"minus before plus", "-+1", false, 0},
  };
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_EQ(platform::parseDecimal(c.text, v), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.name;
    }
  }
  // Whole numbers take the same signs.
  for (const char* text : {"+-1", "++1", "-+1", "+"}) {
    int n = 0;
    EXPECT_FALSE(platform::parseWhole(text, n)) << text;
  }
  int n = 0;
  EXPECT_TRUE(platform::parseWhole("+7", n));
  EXPECT_EQ(n, 7);
  double negativeZero = 1;
  ASSERT_TRUE(platform::parseDecimal("-0.0", negativeZero));
  EXPECT_TRUE(std::signbit(negativeZero));
}
