#include "viewer/dxf/drawing_text.h"

#include <cstdint>

#include "platform/text.h"
#include "platform/text_codec.h"

namespace viewer {

namespace {

// Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                           0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

std::string fromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char b : bytes) {
    const auto u = static_cast<unsigned char>(b);
    platform::appendUtf8(u >= 0x80 && u < 0xA0 ? kWindows1252High[u - 0x80] : char32_t(u), out);
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "\U+XXXX" (four hexadecimal digits) is how writers spell a character the file's code page
// lacks.
std::string replaceUnicodeEscapes(std::string text) {
  if (text.find("\\U+") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 3, "\\U+") == 0 && i + 7 <= text.size()) {
      char32_t c = 0;
      bool ok = true;
      for (std::size_t k = i + 3; k < i + 7 && ok; ++k) {
        const int d = hexDigit(text[k]);
        ok = d >= 0;
        c = c * 16 + static_cast<char32_t>(d);
      }
      if (ok && !(c >= 0xD800 && c <= 0xDFFF)) {
        platform::appendUtf8(c, out);
        i += 7;
        continue;
      }
    }
    out.push_back(text[i++]);
  }
  return out;
}

bool allAscii(std::string_view bytes) {
  for (char b : bytes)
    if (static_cast<unsigned char>(b) >= 0x80) return false;
  return true;
}

}  // namespace

void TextDecoding::setVersion(std::string_view acadver) {
  acadver = platform::trimEnd(acadver);
  // AC1021 is release 2007; the versions compare as texts of one length.
  unicodeRelease_ = acadver.size() == 6 && acadver.starts_with("AC") && acadver >= "AC1021";
}

void TextDecoding::setCodePage(std::string_view dwgcodepage) {
  cp932_ = platform::trimEnd(dwgcodepage).ends_with("932");
}

TextDecoding::Kind TextDecoding::kind() const {
  if (unicodeRelease_) return Kind::utf8;
  return cp932_ ? Kind::cp932 : Kind::windows1252;
}

std::string TextDecoding::decode(std::string_view bytes) const {
  if (allAscii(bytes)) return replaceUnicodeEscapes(std::string(bytes));
  switch (kind()) {
    case Kind::cp932: return replaceUnicodeEscapes(platform::cp932ToUtf8(bytes));
    case Kind::utf8: {
      if (platform::isValidUtf8(bytes)) return replaceUnicodeEscapes(std::string(bytes));
      // Each byte that starts no valid character becomes one U+FFFD.
      std::string out;
      std::vector<char32_t> points;
      appendCodePoints(bytes, points);
      for (char32_t c : points) platform::appendUtf8(c, out);
      return replaceUnicodeEscapes(std::move(out));
    }
    case Kind::windows1252:
      if (platform::isValidUtf8(bytes)) return replaceUnicodeEscapes(std::string(bytes));
      return replaceUnicodeEscapes(fromWindows1252(bytes));
  }
  return std::string(bytes);
}

std::string_view mtextShown(std::string_view text) {
  const auto semicolon = text.find(';');
  // 1-based: s = position of ";" + 1, e = position of "}" (0 when there is none).
  const std::size_t s = semicolon == std::string_view::npos ? 1 : semicolon + 2;
  if (s <= 2) return text;
  const auto brace = text.find('}');
  const std::size_t e = brace == std::string_view::npos ? 0 : brace + 1;
  if (e <= s) return {};
  return text.substr(s - 1, e - s);
}

void appendCodePoints(std::string_view utf8, std::vector<char32_t>& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char lead = p[i];
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    int extra = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      c = lead & 0x07;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char b = p[i + k];
      if ((b & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (b & 0x3F);
    }
    if (ok && ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
               (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))) {
      ok = false;
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
}

}  // namespace viewer
