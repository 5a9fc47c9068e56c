#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "dxfio/collecting_sink.h"
#include "dxfio/dxf_writer.h"
#include "dxfio/file_sink.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

using dxfio::DxfWriter;
using dxfio::FileSink;
using dxfio::formatReal;

TEST(DxfWriter, RealsInTheShortestGeneralForm) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {1000, "1000"},
      {0.5, "0.5"},
      {-5, "-5"},
      {1e-6, "1E-6"},
      {0.00001, "0.00001"},
      {0.000009, "9E-6"},
      {-0.0000123, "-0.0000123"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {110957.20760778629, "110957.207607786"},
      {-35697946, "-35697946"},
      {999999999999999, "999999999999999"},
      {1e15, "1E15"},
      {1.5e16, "1.5E16"},
      {123456789.125, "123456789.125"},
      {0.9999999999999999, "1"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatReal(c.value), c.text) << c.value;
}

TEST(DxfWriter, TypedPairsInCp932WithCrLf) {
  EXPECT_EQ(dxfio::hexHandle(467), "1D3");
  EXPECT_EQ(dxfio::hexHandle(10), "A");
  TempFolder temp;
  FileSink sink;
  ASSERT_TRUE(sink.open(temp / "a.dxf"));
  DxfWriter w(sink, 0x1D3);
  w.pairs({{0, "SECTION"}, {2, "HEADER"}, {3, ""}, {1, "  two blanks"}});
  w.pair(8, "002道路");
  w.handle(5, w.takeHandle());
  w.pair(70, 1);
  w.pair(90, 123456789012LL);
  w.pair(40, 2.5);
  w.vertices(std::vector<dxfio::Vertex>{{1, -2}, {0.25, 1e-6}});
  ASSERT_TRUE(sink.close());
  // Nothing stands under the real name until the file is complete.
  EXPECT_FALSE(std::filesystem::exists(temp / "a.dxf"));
  ASSERT_TRUE(sink.commit());
  EXPECT_FALSE(std::filesystem::exists(temp / ".a.dxf.part"));
  std::string bytes = readBytes(temp / "a.dxf");
  EXPECT_EQ(platform::cp932ToUtf8(bytes),
            "0\r\nSECTION\r\n2\r\nHEADER\r\n3\r\n\r\n1\r\n  two blanks\r\n"
            "8\r\n002道路\r\n5\r\n1D3\r\n70\r\n1\r\n90\r\n123456789012\r\n40\r\n2.5\r\n"
            "10\r\n1\r\n20\r\n-2\r\n10\r\n0.25\r\n20\r\n1E-6\r\n");
  EXPECT_NE(bytes.find("\x93\xb9\x98\x48"), std::string::npos);  // 道路 in CP932
  EXPECT_EQ(sink.offset(), bytes.size());
  EXPECT_EQ(w.nextHandle, 0x1D4u);
}

TEST(DxfWriter, CollectingSinkKeepsThePairsAndTheSeedPlace) {
  dxfio::CollectingSink sink;
  DxfWriter w(sink);
  w.pairs({{0, "SECTION"}, {2, "HEADER"}, {9, "$HANDSEED"}});
  w.handleSeedPlaceholder();
  w.pair(1, "道路");
  w.pair(40, 0.5);
  EXPECT_EQ(sink.notation(), "0=SECTION;2=HEADER;9=$HANDSEED;5=      5E;1=道路;40=0.5");
  EXPECT_EQ(sink.handleSeedIndex, 3u);
  EXPECT_EQ(sink.notation(4, 5), "1=道路");
}

TEST(DxfWriter, HandleSeedPatchKeepsTheLength) {
  TempFolder temp;
  FileSink sink;
  ASSERT_TRUE(sink.open(temp / "s.dxf"));
  DxfWriter w(sink);
  w.pairs({{0, "SECTION"}, {2, "HEADER"}, {9, "$HANDSEED"}});
  w.handleSeedPlaceholder();
  w.pairs({{0, "ENDSEC"}, {0, "EOF"}});
  ASSERT_TRUE(sink.close());
  ASSERT_TRUE(sink.commit());
  auto before = readBytes(temp / "s.dxf");
  ASSERT_TRUE(FileSink::patchHandleSeed(temp / "s.dxf", sink.handleSeedOffset(), 0x12AF));
  auto after = readBytes(temp / "s.dxf");
  EXPECT_EQ(after.size(), before.size());
  EXPECT_NE(after.find("$HANDSEED\r\n5\r\n000012AF\r\n0\r\nENDSEC"), std::string::npos);
  EXPECT_FALSE(FileSink::patchHandleSeed(temp / "missing.dxf", 10, 1));
  // The sink patches its own file before it takes the real name.
  FileSink second;
  ASSERT_TRUE(second.open(temp / "t.dxf"));
  DxfWriter w2(second);
  w2.pairs({{0, "SECTION"}, {2, "HEADER"}, {9, "$HANDSEED"}});
  w2.handleSeedPlaceholder();
  w2.pairs({{0, "EOF"}});
  ASSERT_TRUE(second.close());
  ASSERT_TRUE(second.patchHandleSeed(0xABCDEF));
  ASSERT_TRUE(second.commit());
  EXPECT_NE(readBytes(temp / "t.dxf").find("$HANDSEED\r\n5\r\n00ABCDEF\r\n0\r\nEOF"), std::string::npos);
}

TEST(DxfWriter, AFileThatFailsOrIsAbandonedNeverStandsUnderItsName) {
  TempFolder temp;
  writeBytes(temp / "old.dxf", "the earlier sheet");
  {
    FileSink abandoned;
    ASSERT_TRUE(abandoned.open(temp / "old.dxf"));
    DxfWriter w(abandoned);
    w.pairs({{0, "SECTION"}});
  }  // a run stopped here
  EXPECT_EQ(readBytes(temp / "old.dxf"), "the earlier sheet");
  EXPECT_FALSE(std::filesystem::exists(temp / ".old.dxf.part"));
  // A link is followed: the file it names is replaced, the link stays.
  writeBytes(temp / "target.dxf", "x");
  std::filesystem::create_symlink(temp / "target.dxf", temp / "link.dxf");
  FileSink linked;
  ASSERT_TRUE(linked.open(temp / "link.dxf"));
  DxfWriter w(linked);
  w.pairs({{0, "EOF"}});
  ASSERT_TRUE(linked.close());
  ASSERT_TRUE(linked.commit());
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "link.dxf"));
  EXPECT_EQ(readBytes(temp / "target.dxf"), "0\r\nEOF\r\n");
}

TEST(DxfWriter, WriteErrorsAreReported) {
  FileSink sink;
  EXPECT_FALSE(sink.open("/nonexistent-folder/x.dxf"));
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  FileSink full;
  ASSERT_TRUE(full.open("/dev/full"));
  DxfWriter w(full);
  for (int i = 0; i < 100000; ++i) w.pair(1, "filler text of a line");
  EXPECT_FALSE(full.close());
  EXPECT_TRUE(full.failed());
}

TEST(RealText, SameAsTheSheetWriter) {
  std::vector<double> values = {0,
                                1,
                                -1,
                                0.5,
                                1000,
                                1e-6,
                                0.00001,
                                0.000012345,
                                123456789012345.0,
                                1234567890123456.0,
                                1.5e16,
                                -75218764.123456,
                                78613245.00000001,
                                0.1 + 0.2,
                                1.0 / 3,
                                2.0 / 3 * 1e8,
                                23000,
                                16250,
                                9.999999999999999e14,
                                999999999999999.9,
                                123456789012345.5,
                                123456789012344.5,
                                0.5e-5,
                                0.00001,
                                0.0000099999999999999999,
                                0.000010000000000000001,
                                1e14,
                                99999999999999.99,
                                1.00000000000005,
                                0.30000000000000004};
  std::uint64_t state = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    const double mantissa = static_cast<double>(state % 10000000000000ull) / 1e6;
    const int exponent = static_cast<int>(state >> 58) - 40;  // -40 .. 23
    values.push_back((state & 1 ? -1 : 1) * mantissa * std::pow(10.0, exponent / 3));
    values.push_back(static_cast<double>(static_cast<std::int64_t>(state >> 20)) / 1024.0);  // coordinates in mm
    const double any = std::bit_cast<double>(state);  // every bit pattern that is a number
    if (std::isfinite(any)) values.push_back(any);
    values.push_back(-75218764.0 + static_cast<double>(state % 1000000007ull) * 1.0e-7);  // plane coordinates
  }
  for (double v : values) {
    std::string text;
    dxfio::appendReal(text, v);
    ASSERT_EQ(text, dxfio::formatReal(v)) << v;
  }
}
