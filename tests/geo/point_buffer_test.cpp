#include <gtest/gtest.h>

#include <algorithm>

#include "converter/geo/point_pair.h"

// A new buffer reads zero everywhere, including pairs never written, and keeps what is
// written; constructed values are stored as given.
TEST(PointBuffer, NewBuffersReadZeroAndKeepWhatIsWritten) {
  for (int round = 0; round < 3; ++round) {
    geo::PointBuffer buffer(1 << 20);
    ASSERT_EQ(buffer.size(), std::size_t{1} << 20);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](const geo::PointPair& p) { return p.x == 0 && p.y == 0; }));
    // Dirty it so that a later round would see these values if memory came back unzeroed.
    std::fill(buffer.begin(), buffer.end(), geo::PointPair{1.5, -2.5});
    EXPECT_EQ(buffer[12345].y, -2.5);
  }
  geo::PointBuffer filled(3, geo::PointPair{7, 8});
  EXPECT_EQ(filled[2].x, 7);
  filled.push_back({9, 10});
  EXPECT_EQ(filled.back().y, 10);
}
