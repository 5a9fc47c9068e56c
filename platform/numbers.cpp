#include "platform/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/text.h"

namespace platform {

namespace {

std::string_view trimmed(std::string_view text) {
  // A CR left over from a CR LF line end is dropped; at the start it is no blank.
  text = trimEnd(trimStart(text), " \t\r");
  // from_chars takes no plus sign; one is allowed, but not in front of another sign ("+-1"
  // would read as -1): such a text is left as it is, which no parser accepts.
  if (text.size() >= 2 && text[0] == '+' && text[1] != '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

template <typename T, typename... Format>
bool parseAll(std::string_view text, T& value, Format... format) {
  text = trimmed(text);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  T v{};
  auto [p, ec] = std::from_chars(text.data(), end, v, format...);
  if (ec != std::errc() || p != end) return false;
  value = v;
  return true;
}

}  // namespace

namespace {

// Short plain decimals ("1234.56", "-0.5"), the bulk of every grid file: with at most 15
// digits the digits and the power of ten are exact doubles, so one division rounds
// correctly, as from_chars would. nullopt sends other texts to from_chars.
std::optional<double> shortDecimal(std::string_view text) {
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
      if (++count > 15) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (fraction >= 0) ++fraction;
    } else if (c == '.' && fraction < 0) {
      fraction = 0;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  const double v = static_cast<double>(digits) / kTens[std::max(fraction, 0)];
  return negative ? -v : v;
}

}  // namespace

bool parseDecimal(std::string_view text, double& value) {
  if (const auto v = shortDecimal(trimmed(text))) {
    value = *v;
    return true;
  }
  double v = 0;
  if (!parseAll(text, v, std::chars_format::general) || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool parseWhole(std::string_view text, std::int64_t& value) { return parseAll(text, value, 10); }
bool parseWhole(std::string_view text, int& value) { return parseAll(text, value, 10); }

std::string formatNumber(const char* format, double value) {
  std::array<char, 64> small{};
  const int len = std::snprintf(small.data(), small.size(), format, value);
  if (len < 0) return {};
  if (static_cast<std::size_t>(len) < small.size()) return std::string(small.data(), static_cast<std::size_t>(len));
  std::string big(static_cast<std::size_t>(len) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, value);
  big.resize(static_cast<std::size_t>(len));
  return big;
}

std::string formatGrouped(double value) {
  std::string digits = formatNumber("%.0f", std::fabs(std::round(value)));
  if (!std::isfinite(value)) return digits;
  std::string out = std::round(value) < 0 ? "-" : "";
  const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out += digits.substr(0, lead);
  for (std::size_t i = lead; i < digits.size(); i += 3) out += "," + digits.substr(i, 3);
  return out;
}

}  // namespace platform
