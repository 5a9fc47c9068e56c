#pragma once
// Text is UTF-8 inside the program; CP932 (Shift_JIS with the Windows extensions) at the
// file boundaries. Conversion goes through iconv's "CP932" table.
#include <string>
#include <string_view>

namespace platform {

// CP932 bytes to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD; the rest
// of the text is kept.
std::string cp932ToUtf8(std::string_view bytes);

// UTF-8 to CP932 bytes. A character that CP932 cannot hold becomes "?"; invalid UTF-8
// bytes become "?" too. The rest of the text is kept.
std::string utf8ToCp932(std::string_view utf8);

// True when every character of the UTF-8 text has a CP932 encoding.
bool representableInCp932(std::string_view utf8);

bool isValidUtf8(std::string_view bytes);

// Whole text files: a UTF-16 file (LE or BE, with BOM) or a UTF-8 file with BOM is
// decoded as such, anything else as CP932. The result is UTF-8 without BOM.
enum class TextEncoding { Cp932, Utf8Bom, Utf16Le, Utf16Be };
std::string decodeText(std::string_view bytes, TextEncoding* detected = nullptr);
std::string encodeText(std::string_view utf8, TextEncoding encoding);

// Number of bytes the UTF-8 text takes in CP932 ("single-byte characters" of the item files).
std::size_t cp932Length(std::string_view utf8);
// The longest prefix of the UTF-8 text that takes at most maxBytes bytes in CP932,
// never splitting a character.
std::string truncateCp932(std::string_view utf8, std::size_t maxBytes);

}  // namespace platform
