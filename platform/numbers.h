#pragma once
// Numbers in input files and typed fields: the whole text, blanks and tabs around it
// allowed, an optional sign, a full stop as the decimal point whatever the locale. And
// numbers in the printf formats the drawings' texts are written in.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace platform {

// Finite decimals only ("nan" and "inf" fail).
bool parseDecimal(std::string_view text, double& value);
bool parseWhole(std::string_view text, std::int64_t& value);
bool parseWhole(std::string_view text, int& value);

// Whether the eight bytes of `chunk` are all ASCII digits.
inline bool eightDigitsAt(std::uint64_t chunk) {
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull;
  return (chunk & kHigh) == 0x3030303030303030ull && ((chunk + 0x0606060606060606ull) & kHigh) == 0x3030303030303030ull;
}
// Their value, the first in memory the most significant: pairs, quads, then the eight, each
// step in parallel lanes.
inline std::uint64_t eightDigitsValue(std::uint64_t chunk) {
  chunk -= 0x3030303030303030ull;
  chunk = chunk * 10 + (chunk >> 8);
  return (((chunk & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
          (((chunk >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
         32;
}

// The plain decimal that starts `text` ("-12.5": a minus sign, at most 15 digits and one
// full stop, no exponent): its value, the same as parseDecimal gives, and the number of
// characters it took; 0 when the text does not start with one. For readers of long lists.
inline std::size_t leadingDecimal(std::string_view text, double& value) {
  // With at most 15 digits the digits and the power of ten are exact doubles, so one
  // division rounds correctly.
  static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0, fraction = -1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (++count > 15) return 0;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (fraction >= 0) ++fraction;
    } else if (c == '.' && fraction < 0) {
      fraction = 0;
      // Eight fraction digits at once where the text has them (published coordinates have
      // nine): the same integer as digit by digit.
      std::uint64_t chunk;
      if (std::endian::native == std::endian::little && text.size() - i > 8 && count <= 7) {
        std::memcpy(&chunk, text.data() + i + 1, 8);
        if (eightDigitsAt(chunk)) {
          digits = digits * 100000000 + eightDigitsValue(chunk);
          count += 8;
          fraction = 8;
          i += 8;
        }
      }
    } else {
      break;
    }
  }
  if (count == 0) return 0;
  const double v = static_cast<double>(digits) / kTens[fraction > 0 ? fraction : 0];
  value = negative ? -v : v;
  return i;
}

// `value` in a printf format of one double ("%0.2f", "%5.1f"), however long the result.
std::string formatNumber(const char* format, double value);
// `value` rounded to a whole number (halves away from zero) with a comma between groups of
// three digits: -12345.6 gives "-12,346".
std::string formatGrouped(double value);

}  // namespace platform
