#include "platform/numbers.h"

#include <cstdio>

#include <array>

#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace platform {

namespace {

std::string_view trimmed(std::string_view text) {
  // A CR left over from a CR LF line end is dropped; at the start it is no blank.
  text = trimEnd(trimStart(text), " \t\r");
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
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

bool parseDecimal(std::string_view text, double& value) {
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

}  // namespace platform
