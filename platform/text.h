#pragma once
// Small text helpers every layer shares. Case folding touches ASCII letters only and never
// asks the locale, so a locale set by a window toolkit changes nothing here. Characters are
// UTF-8: a character is a byte that is not a continuation byte (10xxxxxx) and the
// continuation bytes after it.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kBlanks = " \t";

inline bool isOneOf(char c, std::string_view characters) {
  for (char k : characters)
    if (c == k) return true;
  return false;
}
// The text without the given characters at its start, end or both ends. Inline, as the
// numbers of large data files are trimmed one by one.
inline std::string_view trimStart(std::string_view text, std::string_view characters = kBlanks) {
  while (!text.empty() && isOneOf(text.front(), characters)) text.remove_prefix(1);
  return text;
}
inline std::string_view trimEnd(std::string_view text, std::string_view characters = kBlanks) {
  while (!text.empty() && isOneOf(text.back(), characters)) text.remove_suffix(1);
  return text;
}
inline std::string_view trim(std::string_view text, std::string_view characters = kBlanks) {
  return trimEnd(trimStart(text, characters), characters);
}
// True when the text is empty or holds spaces and tabs only.
inline bool isBlank(std::string_view text) { return trimStart(text).empty(); }

inline bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

char lowerAscii(char c);
char upperAscii(char c);
std::string lowerAscii(std::string_view text);
std::string upperAscii(std::string_view text);
// Equal when ASCII letters are compared without case; every other byte must match exactly.
bool equalsNoCase(std::string_view a, std::string_view b);

// Number of characters.
std::size_t characterCount(std::string_view utf8);
// Bytes of the character starting at `pos` (at least one, never past the end).
std::size_t characterLength(std::string_view utf8, std::size_t pos);
// The first `count` characters (all of the text when it is shorter).
std::string_view firstCharacters(std::string_view utf8, std::size_t count);
// Appends the UTF-8 bytes of one code point.
void appendUtf8(char32_t codePoint, std::string& out);

}  // namespace platform
