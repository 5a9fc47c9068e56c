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

// Short plain decimals ("1234.56", "-0.5"), the bulk of every grid file; nullopt sends
// other texts to from_chars.
std::optional<double> shortDecimal(std::string_view text) {
  double v = 0;
  if (text.empty() || leadingDecimal(text, v) != text.size()) return std::nullopt;
  return v;
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
