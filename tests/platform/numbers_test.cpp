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
