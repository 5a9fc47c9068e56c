#include "dxfio/real_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// round(|v| · 10^k), ties to even, from the exact binary value (|v| < 1e15, 0 <= k <= 19).
std::uint64_t scaledRounded(double v, int k) {
  int e2 = 0;
  const double f = std::frexp(v, &e2);  // v = f · 2^e2, 0.5 <= f < 1
  const auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));
  e2 -= 53;
  const unsigned __int128 num = static_cast<unsigned __int128>(m) * kPow10[k];
  if (e2 >= 0) return static_cast<std::uint64_t>(num << e2);
  const int s = -e2;
  if (s >= 127) return 0;
  unsigned __int128 q = num >> s;
  const unsigned __int128 r = num & ((static_cast<unsigned __int128>(1) << s) - 1);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (s - 1);
  if (r > half || (r == half && (q & 1))) ++q;
  return static_cast<std::uint64_t>(q);
}

}  // namespace

// The fixed form by integer arithmetic on the exact binary value (rounded to 15
// significant digits, ties to even, as formatReal rounds); other values go to formatReal.
void appendReal(std::string& out, double value) {
  if (value == 0) {
    out += '0';
    return;
  }
  const double a = std::fabs(value);
  if (!(a >= 0.00001 && a < 1e15)) {
    out += formatReal(value);
    return;
  }
  // Decimal exponent of the first digit; the loop below corrects a one-off guess.
  static constexpr double kTens[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,
                                     1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14};
  int exponent = -5;
  while (exponent < 14 && a >= kTens[exponent + 6]) ++exponent;
  std::uint64_t q = 0;
  for (int tries = 0;; ++tries) {
    const int k = 14 - exponent;
    if (k < 0 || k > 19 || tries > 3) {
      out += formatReal(value);
      return;
    }
    q = scaledRounded(a, k);
    if (q < kPow10[14]) {
      --exponent;
    } else if (q >= kPow10[15]) {
      ++exponent;
    } else {
      break;
    }
  }
  if (exponent >= 15) {
    out += formatReal(value);
    return;
  }
  char digits[16];
  for (int i = 14; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  int n = 15;
  while (n > 1 && digits[n - 1] == '0') --n;
  if (value < 0) out += '-';
  if (exponent >= 0) {
    const int intDigits = exponent + 1;
    if (n <= intDigits) {
      out.append(digits, static_cast<std::size_t>(n));
      out.append(static_cast<std::size_t>(intDigits - n), '0');
    } else {
      out.append(digits, static_cast<std::size_t>(intDigits));
      out += '.';
      out.append(digits + intDigits, static_cast<std::size_t>(n - intDigits));
    }
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits, static_cast<std::size_t>(n));
  }
}

}  // namespace dxfio
