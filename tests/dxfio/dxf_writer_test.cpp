#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "dxfio/dxf_writer.h"
#include "platform/text_codec.h"
#include "tests/common/temp_folder.h"

using dxfio::DxfWriter;
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

TEST(DxfWriter, HandlesPairsAndEncoding) {
  EXPECT_EQ(dxfio::hexHandle(467), "1D3");
  EXPECT_EQ(dxfio::hexHandle(10), "A");
  TempFolder temp;
  DxfWriter w;
  ASSERT_TRUE(w.open(temp / "a.dxf"));
  EXPECT_EQ(w.nextHandle, 0x1D3u);
  w.record("0=SECTION;2=HEADER; 3=;1=  two blanks");
  w.modelEntity("LINE", "002道路");
  w.paperEntity("TEXT", "0");
  w.real(40, 2.5);
  ASSERT_TRUE(w.close());
  std::string bytes = readBytes(temp / "a.dxf");
  EXPECT_EQ(platform::cp932ToUtf8(bytes),
            "0\r\nSECTION\r\n2\r\nHEADER\r\n3\r\n\r\n1\r\n  two blanks\r\n"
            "0\r\nLINE\r\n5\r\n1D3\r\n330\r\n13\r\n100\r\nAcDbEntity\r\n8\r\n002道路\r\n"
            "0\r\nTEXT\r\n5\r\n1D4\r\n330\r\n14\r\n67\r\n1\r\n100\r\nAcDbEntity\r\n8\r\n0\r\n40\r\n2.5\r\n");
  EXPECT_EQ(w.offset(), bytes.size());
  EXPECT_EQ(w.nextHandle, 0x1D5u);
}

TEST(DxfWriter, HandleSeedPatchKeepsTheLength) {
  TempFolder temp;
  DxfWriter w;
  ASSERT_TRUE(w.open(temp / "s.dxf"));
  w.record("0=SECTION;2=HEADER;9=$HANDSEED");
  w.handleSeedPlaceholder();
  w.record("0=ENDSEC;0=EOF");
  ASSERT_TRUE(w.close());
  auto before = readBytes(temp / "s.dxf");
  ASSERT_TRUE(DxfWriter::patchHandleSeed(temp / "s.dxf", w.handleSeedOffset(), 0x12AF));
  auto after = readBytes(temp / "s.dxf");
  EXPECT_EQ(after.size(), before.size());
  EXPECT_NE(after.find("$HANDSEED\r\n5\r\n000012AF\r\n0\r\nENDSEC"), std::string::npos);
  EXPECT_FALSE(DxfWriter::patchHandleSeed(temp / "missing.dxf", 10, 1));
}

TEST(DxfWriter, WriteErrorsAreReported) {
  DxfWriter w;
  EXPECT_FALSE(w.open("/nonexistent-folder/x.dxf"));
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  DxfWriter full;
  ASSERT_TRUE(full.open("/dev/full"));
  for (int i = 0; i < 100000; ++i) full.text(1, "filler text of a line");
  EXPECT_FALSE(full.close());
  EXPECT_TRUE(full.failed());
}

TEST(RealText, SameAsTheSheetWriter) {
  std::vector<double> values = {0, 1, -1, 0.5, 1000, 1e-6, 0.00001, 0.000012345, 123456789012345.0, 1234567890123456.0, 1.5e16,
                                -75218764.123456, 78613245.00000001, 0.1 + 0.2, 1.0 / 3, 2.0 / 3 * 1e8, 23000, 16250, 9.999999999999999e14, 999999999999999.9,
                                123456789012345.5, 123456789012344.5, 0.5e-5, 1.00000000000005, 0.30000000000000004};
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
