#include "dxfio/real_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dxfio {

namespace {

// Digits of |value| rounded to 15 significant digits: mantissa digits without trailing
// zeros and the decimal exponent of the first digit.
void significantDigits(double value, std::string& digits, int& exponent) {
  // to_chars does not follow the C locale, so a GUI locale cannot turn the point into a comma.
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14);
  *result.ptr = '\0';
  // buf: d.dddddddddddddde[+-]xx
  digits.clear();
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

}  // namespace

std::string formatReal(double value) {
  if (value == 0 || !std::isfinite(value))
    return value == 0 ? "0" : (std::isnan(value) ? "NAN" : value > 0 ? "INF" : "-INF");
  std::string digits;
  int exponent = 0;
  significantDigits(value, digits, exponent);
  std::string out = value < 0 ? "-" : "";
  const bool fixed = std::fabs(value) >= 0.00001 && exponent < 15;
  if (fixed) {
    if (exponent >= 0) {
      std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
      }
    } else {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
  } else {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += "E" + std::to_string(exponent);
  }
  return out;
}

std::string hexHandle(std::uint32_t handle) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", handle);
  return buf;
}

namespace {

constexpr std::uint64_t kPow10[] = {1ull,
                                    10ull,
                                    100ull,
                                    1000ull,
                                    10000ull,
                                    100000ull,
                                    1000000ull,
                                    10000000ull,
                                    100000000ull,
                                    1000000000ull,
                                    10000000000ull,
                                    100000000000ull,
                                    1000000000000ull,
                                    10000000000000ull,
                                    100000000000000ull,
                                    1000000000000000ull,
                                    10000000000000000ull,
                                    100000000000000000ull,
                                    1000000000000000000ull,
                                    10000000000000000000ull};

// The eight decimal digits of v < 10^8 as the bytes 0..9 of a word, the first digit in the
// lowest byte: halves, quarters and eighths split in parallel lanes by multiplications.
std::uint64_t eightDigits(std::uint32_t v) {
  std::uint64_t y = (v / 10000) | (static_cast<std::uint64_t>(v % 10000) << 32);
  std::uint64_t z = ((y * 10486) >> 20) & 0x0000007F0000007Full;  // lane / 100 below 10^4
  y = z | ((y - 100 * z) << 16);
  z = ((y * 103) >> 10) & 0x000F000F000F000Full;  // lane / 10 below 100
  return z | ((y - 10 * z) << 8);
}

// q rounded up by its remainder r against half the divisor, ties to even; without a
// branch, since which way a coordinate rounds is a coin toss to the processor.
template <typename U>
U roundedHalfEven(U q, U r, U half) {
  return q + ((static_cast<U>(r > half) | (static_cast<U>(r == half) & q)) & 1);
}

// round(m · 2^e2 · 10^k), ties to even (m < 2^53, 0 <= k <= 19, result below 2^64).
std::uint64_t scaledRounded(std::uint64_t m, int e2, int k) {
  const unsigned __int128 num = static_cast<unsigned __int128>(m) * kPow10[k];
  if (e2 < 0 && e2 > -64) {
    // Every coordinate of a sheet: a shift below 64 bits, in 64-bit words.
    const int s = -e2;
    const auto lo = static_cast<std::uint64_t>(num), hi = static_cast<std::uint64_t>(num >> 64);
    const std::uint64_t q = (hi << (64 - s)) | (lo >> s);
    const std::uint64_t r = lo & ((std::uint64_t{1} << s) - 1), half = std::uint64_t{1} << (s - 1);
    return roundedHalfEven(q, r, half);
  }
  if (e2 >= 0) return static_cast<std::uint64_t>(num << e2);
  const int s = -e2;
  if (s >= 127) return 0;
  const unsigned __int128 q = num >> s;
  const unsigned __int128 r = num & ((static_cast<unsigned __int128>(1) << s) - 1);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (s - 1);
  return static_cast<std::uint64_t>(roundedHalfEven(q, r, half));
}

// The fixed form of a normal value with 0.00001 <= |value| < 1e15, by integer arithmetic
// on the exact binary value (rounded to 15 significant digits, ties to even, as
// formatReal rounds); nullptr when the rounded value needs the exponent form.
char* writeFixed(char* p, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e2 = biased - 1075;  // |value| = m · 2^e2
  // Decimal exponent of the first digit: floor(log10 2 · binary exponent) or one more.
  int exponent = ((biased - 1023) * 78913) >> 18;
  static constexpr double kTens[] = {1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,
                                     1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double a = std::fabs(value);
  if (exponent < -6 || exponent > 14) return nullptr;
  if (a >= kTens[exponent + 7]) ++exponent;
  std::uint64_t q = 0;
  for (int tries = 0;; ++tries) {
    const int k = 14 - exponent;
    if (k < 0 || k > 19 || tries > 3) return nullptr;
    q = scaledRounded(m, e2, k);
    if (q < kPow10[14]) {
      --exponent;
    } else if (q >= kPow10[15]) {
      ++exponent;
    } else {
      break;
    }
  }
  if (exponent >= 15) return nullptr;
  // The fifteen digits as bytes of one 128-bit word, the first digit lowest, built in
  // registers and stored whole: no byte is written twice or read back.
  using U128 = unsigned __int128;
  U128 raw = (static_cast<U128>(eightDigits(static_cast<std::uint32_t>(q % 100000000))) << 64) |
             eightDigits(static_cast<std::uint32_t>(q / 100000000));
  raw >>= 8;  // the seven leading digits were spelled as eight
  const auto high = static_cast<std::uint64_t>(raw >> 64);
  const int zeroBytes = (high ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(raw))) / 8;
  const int n = 16 - zeroBytes;  // digits without the trailing zeros (the first is never zero)
  const U128 text = raw | ((static_cast<U128>(0x3030303030303030ull) << 64) | 0x3030303030303030ull);
  auto store = [](char* at, U128 bytes) { std::memcpy(at, &bytes, sizeof bytes); };
  *p = '-';
  p += value < 0;
  if (exponent >= 0) {
    // The integer digits are the first ones, trailing zeros included.
    const int intDigits = exponent + 1;
    store(p, text);
    if (n <= intDigits) return p + intDigits;
    p[intDigits] = '.';
    store(p + intDigits + 1, text >> (8 * intDigits));
    return p + n + 1;
  }
  std::memcpy(p, "0.000000", 8);
  p += 1 - exponent;
  store(p, text);
  return p + n;
}

}  // namespace

char* writeReal(char* p, double value) {
  if (value == 0) {
    *p++ = '0';
    return p;
  }
  const double a = std::fabs(value);
  // The fast path stores its digits as the bytes of words, first digit lowest.
  if (std::endian::native == std::endian::little && a >= 0.00001 && a < 1e15)
    if (char* end = writeFixed(p, value)) return end;
  const std::string text = formatReal(value);
  return std::copy(text.begin(), text.end(), p);
}

void appendReal(std::string& out, double value) {
  char buf[kRealChars];
  out.append(buf, writeReal(buf, value));
}

}  // namespace dxfio
