#include "platform/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace platform {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// One step through UTF-8: a valid character, or the maximal ill-formed subpart (at least
// one byte) that a decoder replaces by one substitute.
struct Utf8Step {
  std::size_t length;
  bool valid;
};

Utf8Step utf8Step(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return {1, true};
  std::size_t need;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
  } else if (b0 == 0xE0) {
    need = 2, lo = 0xA0;
  } else if ((b0 >= 0xE1 && b0 <= 0xEC) || b0 == 0xEE || b0 == 0xEF) {
    need = 2;
  } else if (b0 == 0xED) {
    need = 2, hi = 0x9F;  // no surrogates
  } else if (b0 == 0xF0) {
    need = 3, lo = 0x90;
  } else if (b0 >= 0xF1 && b0 <= 0xF3) {
    need = 3;
  } else if (b0 == 0xF4) {
    need = 3, hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return {1, false};
  }
  for (std::size_t i = 1; i <= need; ++i) {
    if (pos + i >= s.size()) return {i, false};
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if (b < lo || b > hi) return {i, false};
    lo = 0x80, hi = 0xBF;
  }
  return {need + 1, true};
}

bool allAscii(std::string_view s) {
  unsigned char acc = 0;
  for (char c : s) acc |= static_cast<unsigned char>(c);
  return acc < 0x80;
}

bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isCp932Trail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// An iconv descriptor kept for the life of a thread: these conversions run for every
// line of large files, and opening a descriptor costs far more than converting a line.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Appends the conversion of `in` to `out`. Where iconv stops at bytes it cannot
  // convert, `onError(pos, out)` appends a substitute and returns how many input bytes
  // to skip (at least one).
  template <class OnError>
  void convert(std::string_view in, std::string& out, OnError onError) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a previous call may have failed midway
    std::size_t pos = 0;
    std::size_t used = out.size();
    out.resize(used + in.size() * 2 + 16);
    while (pos < in.size()) {
      char* inPtr = const_cast<char*>(in.data()) + pos;
      std::size_t inLeft = in.size() - pos;
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int err = errno;
      pos = static_cast<std::size_t>(inPtr - in.data());
      used = static_cast<std::size_t>(outPtr - out.data());
      if (r != static_cast<std::size_t>(-1)) break;
      if (err == E2BIG) {
        out.resize(out.size() * 2 + 16);
        continue;
      }
      // EILSEQ or EINVAL (incomplete at the end): substitute and go on after it.
      out.resize(used);
      const std::size_t skip = onError(pos, out);
      pos += skip == 0 ? 1 : skip;
      used = out.size();
      out.resize(used + (in.size() - pos) * 2 + 16);
    }
    out.resize(used);
  }

 private:
  iconv_t cd_;
};

Converter& fromCp932() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}
Converter& toCp932() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

// Appends the CP932 form of `utf8` to `out`; returns how many characters had to become "?".
std::size_t appendCp932(std::string_view utf8, std::string& out) {
  if (allAscii(utf8)) {
    out.append(utf8);
    return 0;
  }
  std::size_t failures = 0;
  auto substitute = [&](std::size_t pos, std::string& o) {
    ++failures;
    o.push_back('?');
    return utf8Step(utf8, pos).length;
  };
  Converter& c = toCp932();
  if (c.ok()) {
    c.convert(utf8, out, substitute);
    return failures;
  }
  // Without a CP932 table only ASCII survives.
  for (std::size_t pos = 0; pos < utf8.size();) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      out.push_back(utf8[pos++]);
    } else {
      pos += substitute(pos, out);
    }
  }
  return failures;
}

// Replaces ill-formed UTF-8 by U+FFFD.
std::string sanitizeUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const Utf8Step step = utf8Step(s, pos);
    if (step.valid) {
      out.append(s.substr(pos, step.length));
    } else {
      out.append(kReplacement);
    }
    pos += step.length;
  }
  return out;
}

std::string fromUtf16(std::string_view bytes, bool bigEndian) {
  thread_local Converter le("UTF-8", "UTF-16LE");
  thread_local Converter be("UTF-8", "UTF-16BE");
  Converter& c = bigEndian ? be : le;
  std::string out;
  if (!c.ok()) return out;
  // A lone surrogate or a stray last byte becomes U+FFFD.
  c.convert(bytes, out, [&](std::size_t pos, std::string& o) {
    o.append(kReplacement);
    return bytes.size() - pos >= 2 ? std::size_t{2} : std::size_t{1};
  });
  return out;
}

std::string toUtf16(std::string_view utf8, bool bigEndian) {
  thread_local Converter le("UTF-16LE", "UTF-8");
  thread_local Converter be("UTF-16BE", "UTF-8");
  Converter& c = bigEndian ? be : le;
  std::string out;
  if (!c.ok()) return out;
  const std::string clean = sanitizeUtf8(utf8);
  c.convert(clean, out, [&](std::size_t pos, std::string& o) {
    o.append(bigEndian ? "\xFF\xFD" : "\xFD\xFF", 2);
    return utf8Step(clean, pos).length;
  });
  return out;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
  if (allAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2 + 16);
  // A lead byte with a possible trail byte is an unassigned double-byte code and is
  // replaced as a whole; anything else (a stray byte, a lead byte before a byte that
  // cannot follow it, a lead byte at the end) costs only itself.
  auto substitute = [&](std::size_t pos, std::string& o) {
    o.append(kReplacement);
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (isCp932Lead(b) && pos + 1 < bytes.size() && isCp932Trail(static_cast<unsigned char>(bytes[pos + 1]))) {
      return std::size_t{2};
    }
    return std::size_t{1};
  };
  Converter& c = fromCp932();
  if (c.ok()) {
    c.convert(bytes, out, substitute);
    return out;
  }
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      out.push_back(bytes[pos++]);
    } else {
      pos += substitute(pos, out);
    }
  }
  return out;
}

std::string utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  appendCp932(utf8, out);
  return out;
}

bool representableInCp932(std::string_view utf8) {
  if (allAscii(utf8)) return true;
  std::string out;
  return appendCp932(utf8, out) == 0;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const Utf8Step step = utf8Step(bytes, pos);
    if (!step.valid) return false;
    pos += step.length;
  }
  return true;
}

std::string decodeText(std::string_view bytes, TextEncoding* detected) {
  TextEncoding enc = TextEncoding::Cp932;
  std::string out;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    enc = TextEncoding::Utf16Le;
    out = fromUtf16(bytes.substr(2), false);
  } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    enc = TextEncoding::Utf16Be;
    out = fromUtf16(bytes.substr(2), true);
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    enc = TextEncoding::Utf8Bom;
    out = sanitizeUtf8(bytes.substr(3));
  } else {
    out = cp932ToUtf8(bytes);
  }
  if (detected) *detected = enc;
  return out;
}

std::string encodeText(std::string_view utf8, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom: return "\xEF\xBB\xBF" + sanitizeUtf8(utf8);
    case TextEncoding::Utf16Le: return "\xFF\xFE" + toUtf16(utf8, false);
    case TextEncoding::Utf16Be: return "\xFE\xFF" + toUtf16(utf8, true);
    case TextEncoding::Cp932: break;
  }
  return utf8ToCp932(utf8);
}

std::size_t cp932Length(std::string_view utf8) {
  if (allAscii(utf8)) return utf8.size();
  return utf8ToCp932(utf8).size();
}

std::string truncateCp932(std::string_view utf8, std::size_t maxBytes) {
  if (allAscii(utf8)) return std::string(utf8.substr(0, std::min(maxBytes, utf8.size())));
  std::size_t total = 0;
  std::size_t pos = 0;
  std::string scratch;
  while (pos < utf8.size()) {
    const Utf8Step step = utf8Step(utf8, pos);
    std::size_t width = 1;  // ASCII, or the "?" that an ill-formed byte run becomes
    if (step.valid && step.length > 1) {
      // Most characters take two bytes, but some (half-width katakana, ¥, ‾) take one.
      scratch.clear();
      appendCp932(utf8.substr(pos, step.length), scratch);
      width = scratch.size();
    }
    if (total + width > maxBytes) break;
    total += width;
    pos += step.length;
  }
  return std::string(utf8.substr(0, pos));
}

}  // namespace platform
