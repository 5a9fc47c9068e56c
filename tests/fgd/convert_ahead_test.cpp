#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

#include "converter/fgd/fgd_dispatch.h"
#include "converter/sheet/shared_conversions.h"
#include "tests/fgd/harness.h"

using fgd::GmlReaders;

namespace {

// Deterministic plane values of a pair, to tell a stored pair from a wrong one.
double fakeX(double lon, double lat) { return lon * 1000 + lat; }
double fakeY(double lon, double lat) { return lat * 1000 - lon; }

std::vector<std::string> records(const std::vector<Entity>& entities) {
  std::vector<std::string> out;
  for (const auto& e : entities) out.push_back(e.type + ":" + e.record());
  return out;
}

}  // namespace

// The table a helper fills while the sheet's thread looks pairs up: a pair found holds
// what was stored for it, the table takes no more than half its slots, and nothing is
// found before the helper took its memory or for coordinates of another system.
TEST(SharedConversions, FoundPairsHoldWhatWasStoredWhileTheHelperStores) {
  geo::PlaneCoordinates c;
  c.selectSystem(2);
  sheet::SharedConversions shared({}, c);
  double x = 0, y = 0;
  EXPECT_FALSE(shared.find(130.2, 33.7, x, y));
  EXPECT_FALSE(shared.insert(130.2, 33.7, 1, 2));  // no memory yet
  ASSERT_TRUE(shared.prepare(50000));              // 131072 slots, 65536 pairs at most

  std::vector<std::pair<double, double>> pairs;
  std::mt19937 random(3);
  std::uniform_real_distribution<double> lat(20, 46), lon(122, 154);
  for (int i = 0; i < 100000; ++i) pairs.emplace_back(lon(random), lat(random));
  std::atomic<bool> done{false};
  std::atomic<int> stored{0};
  std::thread helper([&] {
    for (const auto& [lo, la] : pairs) {
      if (!shared.insert(lo, la, fakeX(lo, la), fakeY(lo, la))) break;
      ++stored;
    }
    done = true;
  });
  long long found = 0;
  while (!done) {
    for (std::size_t i = 0; i < pairs.size(); i += 97) {
      const auto [lo, la] = pairs[i];
      if (!shared.find(lo, la, x, y)) continue;
      ++found;
      ASSERT_EQ(x, fakeX(lo, la));
      ASSERT_EQ(y, fakeY(lo, la));
    }
  }
  helper.join();
  // Accepted pairs: the stored ones and the few a crowded neighbourhood dropped.
  EXPECT_GE(stored.load(), 60000);
  EXPECT_LE(stored.load(), 65536 + 100);
  int missing = 0;
  for (int i = 0; i < stored.load(); ++i) {
    const auto [lo, la] = pairs[static_cast<std::size_t>(i)];
    if (!shared.find(lo, la, x, y)) ++missing;  // a crowded neighbourhood may drop a few
    else EXPECT_EQ(x, fakeX(lo, la));
  }
  EXPECT_LT(missing, 100);
  EXPECT_FALSE(shared.find(pairs.back().first, pairs.back().second, x, y) &&
               x != fakeX(pairs.back().first, pairs.back().second));

  EXPECT_TRUE(shared.coordinates.convertsLike(c));
  geo::PlaneCoordinates other = c;
  other.unitsPerMetre = 1;
  EXPECT_FALSE(shared.coordinates.convertsLike(other));
  other = c;
  other.selectSystem(9);
  EXPECT_FALSE(shared.coordinates.convertsLike(other));
}

// A file the helper converted ahead, wholly before the sheet's thread reads it or while it
// reads it, gives the entities the sheet's thread writes alone: lines and area rings.
TEST(SharedConversions, ReadersWriteTheSameEntitiesWithAHelper) {
  struct Case {
    const char* name;
    bool areas;
    void (GmlReaders::*reader)(const std::filesystem::path&);
  };
  const Case cases[] = {{"road edges", false, &GmlReaders::GML256Poly},
                        {"building fills", true, &GmlReaders::GML1024Hatch},
                        {"building outlines", true, &GmlReaders::GML512HatchEdge}};
  for (const auto& c : cases) {
    Harness h;
    h.ctx.pointBuffer.assign(1 << 20, geo::PointPair{0, 0});
    if (c.areas)
      h.group("BldA", {{"001建物", "普通建物", ""}});
    else
      h.group("RdEdg", {{"001道路", "真幅道路", ""}});
    const auto file = h.temp / (std::string("FG-GML-503041-") + (c.areas ? "BldA" : "RdEdg") + "-20181001-0001.xml");
    writeBytes(file, denseFgdFile(c.areas, 1500000));
    const auto alone = records(h.readFile([&](GmlReaders& r) { (r.*c.reader)(file); }));
    ASSERT_GT(alone.size(), 1000u) << c.name;

    for (const bool concurrent : {false, true}) {
      sheet::SharedConversions shared({file}, h.ctx.coordinates);
      std::thread helper;
      if (concurrent) {
        helper = std::thread([&] { fgd::convertAhead(shared); });
      } else {
        fgd::convertAhead(shared);
        EXPECT_EQ(shared.file(file).helperFrom.load(), 0u) << c.name;  // all of it
      }
      h.ctx.sharedConversions = &shared;
      const auto helped = records(h.readFile([&](GmlReaders& r) { (r.*c.reader)(file); }));
      h.ctx.sharedConversions = nullptr;
      shared.stop = true;
      if (helper.joinable()) helper.join();
      EXPECT_EQ(helped, alone) << c.name << (concurrent ? " (concurrent)" : " (ahead)");
    }
  }
}
