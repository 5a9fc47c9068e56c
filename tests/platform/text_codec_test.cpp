#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace platform;

namespace {

std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

struct Cp932Case {
  std::string utf8;
  std::string cp932;
};

}  // namespace

TEST(TextCodec, Cp932RoundTripKeepsWindowsCharactersAndAscii) {
  const std::vector<Cp932Case> cases = {
      {"地図", "\x92\x6E\x90\x7D"},
      {"あ", "\x82\xA0"},
      // The characters that plain Shift_JIS tables lose or map elsewhere.
      {"～", "\x81\x60"},
      {"－", "\x81\x7C"},
      {"∥", "\x81\x61"},
      {"①", "\x87\x40"},
      // Backslash and tilde stay ASCII (not yen sign and overline).
      {"C:\\data\\~tmp", "C:\\data\\~tmp"},
      {"ｱｲｳ", "\xB1\xB2\xB3"},
      {"標高5m～10m ①",
       "\x95\x57\x8D\x82"
       "5m\x81\x60"
       "10m \x87\x40"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(utf8ToCp932(c.utf8)), hex(c.cp932)) << c.utf8;
    EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
    EXPECT_TRUE(representableInCp932(c.utf8)) << c.utf8;
  }
}

TEST(TextCodec, IbmExtensionRoundTripsAsText) {
  // glibc and other tables disagree on the bytes of some IBM extensions; the text must survive.
  const std::string text = "髙橋";
  EXPECT_EQ(cp932ToUtf8(utf8ToCp932(text)), text);
  EXPECT_EQ(utf8ToCp932(text).size(), 4u);
}

TEST(TextCodec, UnmappableCharacterBecomesQuestionMarkAndLineIsKept) {
  const std::string line = "前𠮷後,ABC";
  EXPECT_EQ(hex(utf8ToCp932(line)), hex("\x91\x4F?\x8C\xE3,ABC"));
  EXPECT_EQ(cp932ToUtf8(utf8ToCp932(line)), "前?後,ABC");
  EXPECT_FALSE(representableInCp932(line));
  EXPECT_FALSE(representableInCp932("\xFF"));
}

TEST(TextCodec, InvalidUtf8BecomesQuestionMark) {
  EXPECT_EQ(utf8ToCp932("a\xFF"
                        "b"),
            "a?b");
  EXPECT_EQ(utf8ToCp932("地\xE3\x81"), "\x92\x6E?");  // cut-off character at the end
  EXPECT_EQ(utf8ToCp932("\xED\xA0\x80x"), "???x");    // encoded surrogate
}

TEST(TextCodec, InvalidCp932BytesBecomeReplacementCharacter) {
  const std::string r = "\xEF\xBF\xBD";
  const std::vector<Cp932Case> cases = {
      {"A" + r + "B",
       "A\x80"
       "B"},
      {"x" + r + "y",
       "x\xFD"
       "y"},
      {r + r, "\xFE\xFF"},
      // A lead byte before a byte that cannot follow it costs only itself.
      {"A" + r + " B", "A\x81 B"},
      // An unassigned double-byte code is replaced as a whole.
      {r + "Z", "\x85\x40Z"},
      // A lead byte at the very end.
      {"地" + r, "\x92\x6E\x92"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8) << hex(c.cp932);
  }
  // A failed conversion leaves nothing behind for the next one.
  EXPECT_EQ(cp932ToUtf8("\x92\x6E"), "地");
}

TEST(TextCodec, DecodeTextDetectsBom) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
  };
  const std::vector<Case> cases = {
      {std::string("\xFF\xFE"
                   "a\0\x42\x30",
                   6),
       TextEncoding::Utf16Le},
      {std::string("\xFE\xFF\0a\x30\x42", 6), TextEncoding::Utf16Be},
      {"\xEF\xBB\xBF"
       "a\xE3\x81\x82",
       TextEncoding::Utf8Bom},
      {"a\x82\xA0", TextEncoding::Cp932},
  };
  for (const auto& c : cases) {
    TextEncoding detected = TextEncoding::Utf8Bom;
    if (c.encoding == TextEncoding::Utf8Bom) detected = TextEncoding::Cp932;
    EXPECT_EQ(decodeText(c.bytes, &detected), "aあ") << hex(c.bytes);
    EXPECT_EQ(detected, c.encoding) << hex(c.bytes);
    EXPECT_EQ(hex(encodeText("aあ", c.encoding)), hex(c.bytes));
  }
}

TEST(TextCodec, Utf16KeepsCharactersOutsideCp932) {
  const std::string text = "𠮷野家\r\n";
  for (TextEncoding e : {TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::Utf8Bom}) {
    TextEncoding detected = TextEncoding::Cp932;
    EXPECT_EQ(decodeText(encodeText(text, e), &detected), text);
    EXPECT_EQ(detected, e);
  }
  // A surrogate pair, then a lone low surrogate and a stray last byte.
  EXPECT_EQ(hex(encodeText("𠮷", TextEncoding::Utf16Le)), "FF FE 42 D8 B7 DF");
  EXPECT_EQ(decodeText(std::string("\xFF\xFE\x00\xDC"
                                   "a\0"
                                   "b",
                                   7)),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
}

TEST(TextCodec, Cp932LengthAndTruncation) {
  struct Case {
    std::string text;
    std::size_t length;
    std::size_t max;
    std::string truncated;
  };
  const std::vector<Case> cases = {
      {"abc", 3, 2, "ab"},      {"地図abc", 7, 3, "地"}, {"地図abc", 7, 4, "地図"},
      {"a地", 3, 2, "a"},       {"ｱｲ地", 4, 3, "ｱｲ"},    {"𠮷x", 2, 1, "𠮷"},  // written as "?", one byte
      {"地図", 4, 100, "地図"}, {"地図", 4, 0, ""},      {"", 0, 5, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp932Length(c.text), c.length) << c.text;
    const std::string t = truncateCp932(c.text, c.max);
    EXPECT_EQ(t, c.truncated) << c.text << " / " << c.max;
    EXPECT_LE(cp932Length(t), c.max);
  }
}

TEST(TextCodec, Utf8Validation) {
  for (const char* valid : {"", "abc", "地図", "𠮷", "\xEF\xBF\xBD", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(isValidUtf8(valid)) << hex(valid);
  }
  for (const char* invalid :
       {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x81", "\x80", "a\xFF"}) {
    EXPECT_FALSE(isValidUtf8(invalid)) << hex(invalid);
  }
}

TEST(TextCodec, ConvertsOnSeveralThreadsAtOnce) {
  const std::string text = "等高線①～∥ 𠮷 ABC\\~";
  const std::string bytes = utf8ToCp932(text);
  std::vector<int> failures(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (utf8ToCp932(text) != bytes || cp932ToUtf8(bytes + "\x80") != cp932ToUtf8(bytes) + "\xEF\xBF\xBD") {
          ++failures[t];
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}
