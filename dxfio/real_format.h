#pragma once
// How DXF values are spelled: reals in the shortest general form, handles in hexadecimal.
#include <cstdint>
#include <string>

namespace dxfio {

// Shortest general form with up to 15 significant digits and a full stop; exponent form
// ("1E-6", "1.5E16") below 0.00001 in magnitude or with more than 15 integer digits.
std::string formatReal(double value);
// Appends formatReal(value), without its allocations for the common fixed form (every
// coordinate of a sheet goes through here).
void appendReal(std::string& out, double value);
// The room writeReal needs at p. The longest form ("-0.0000" and 15 digits) has 22
// characters, but the fast path copies in fixed lengths and may write up to 32 bytes.
inline constexpr int kRealChars = 40;
// Writes formatReal(value) at p and returns its end; for loops that fill their own buffer.
// Bytes between the end and p + kRealChars may be overwritten.
char* writeReal(char* p, double value);
// Upper-case hexadecimal without leading zeros.
std::string hexHandle(std::uint32_t handle);

}  // namespace dxfio
