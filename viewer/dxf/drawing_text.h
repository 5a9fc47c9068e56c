#pragma once
// Texts of a drawing file as the viewer shows them: bytes in the file's code page to UTF-8,
// the reduction of MTEXT strings, and characters as code points for the glyph set.
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

class TextDecoding {
 public:
  // From the header: files of release 2007 on are UTF-8 whatever they name; a file that
  // names code page 932 or none is CP932; any other code page is taken as UTF-8 where the
  // bytes are valid UTF-8 and as Windows-1252 elsewhere.
  void setVersion(std::string_view acadver);
  void setCodePage(std::string_view dwgcodepage);
  // UTF-8, with the escapes "\U+XXXX" of characters outside the code page replaced.
  std::string decode(std::string_view bytes) const;

 private:
  enum class Kind { cp932, utf8, windows1252 };
  Kind kind() const;
  bool unicodeRelease_ = false;
  bool cp932_ = true;
};

// An MTEXT string that starts with a format switch in braces ("{\fArial|b0;text}") reduced
// to the text between its first ";" and its first "}" (empty without a "}"); a string whose
// first ";" is its first character, or that has none, is kept whole.
std::string_view mtextShown(std::string_view text);

// The code points of a UTF-8 text; a byte that starts no valid character becomes U+FFFD.
void appendCodePoints(std::string_view utf8, std::vector<char32_t>& out);

}  // namespace viewer
