#pragma once
// Numbers in input files and typed fields: the whole text, blanks and tabs around it
// allowed, an optional sign, a full stop as the decimal point whatever the locale. And
// numbers in the printf formats the drawings' texts are written in.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Finite decimals only ("nan" and "inf" fail).
bool parseDecimal(std::string_view text, double& value);
bool parseWhole(std::string_view text, std::int64_t& value);
bool parseWhole(std::string_view text, int& value);

// `value` in a printf format of one double ("%0.2f", "%5.1f"), however long the result.
std::string formatNumber(const char* format, double value);
// `value` rounded to a whole number (halves away from zero) with a comma between groups of
// three digits: -12345.6 gives "-12,346".
std::string formatGrouped(double value);

}  // namespace platform
