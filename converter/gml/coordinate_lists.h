#pragma once
// The coordinate lists of the feature being read, collected into the run's shared point
// buffer as (longitude, latitude) pairs.
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "converter/geo/point_pair.h"
#include "converter/gml/line_scanner.h"

namespace gml {

// A feature larger than the shared buffer.
struct BufferFull : std::runtime_error {
  BufferFull() : std::runtime_error("feature larger than the point buffer") {}
};

// Longitude/latitude bounds of the pairs collected.
struct Box {
  double minLon = 1e300, minLat = 1e300, maxLon = -1e300, maxLat = -1e300;
  void reset() { *this = Box(); }
  // Stored whatever the comparison gives, so that no branch follows the data: a minimum
  // or maximum instruction each (the same values, NaN pairs left out as before).
  void add(double lon, double lat) {
    minLon = lon < minLon ? lon : minLon;
    maxLon = lon > maxLon ? lon : maxLon;
    minLat = lat < minLat ? lat : minLat;
    maxLat = lat > maxLat ? lat : maxLat;
  }
  bool empty() const { return minLon > maxLon; }
};

// A pair on a line of the second-level mesh (a multiple of 1/8 degree of longitude or
// 1/12 degree of latitude), within the tolerance that absorbs the decimal spelling of the
// data: the cuts along which the data are divided into files.
inline bool onTileEdge(const geo::PointPair& p) {
  auto onLine = [](double v) {
    const double f = v - std::trunc(v);
    return f < 1e-8 || f > 0.9999999;
  };
  return onLine(p.x * 8) || onLine(p.y * 12);
}

// Counted lists (lines cut at mesh edges, areas) keep every list of the feature, each
// behind a slot holding its pair count; uncounted lists keep the pairs of the latest list
// only. Throws BufferFull when a pair does not fit.
class ListCollector {
 public:
  template <typename Buffer>
  ListCollector(Buffer& buffer, bool counted) : buf_(buffer.data()), capacity_(buffer.size()), counted_(counted) {}

  bool open() const { return open_; }
  // A line of an open list that holds no tag: its pair is stored.
  template <typename Line>
  bool takeCoordinateLine(const Line& line) {
    if (!open_ || !tagFree(line)) return false;
    pair(line);
    return true;
  }
  // A line of an open list that is two plain numbers (so holds no tag): its pair is stored.
  bool takePlainLine(std::string_view text) {
    double la, lo;
    if (!open_ || !readPlainPair(text, la, lo)) return false;
    store(lo, la);
    return true;
  }
  // The pair on a line of an open list that also holds a tag.
  void pairIfOpen(std::string_view line) {
    if (open_) pair(line);
  }
  void startFeature() {
    used = 0;
    open_ = false;
    box.reset();
  }
  // "<gml:posList>" opens a list.
  template <typename Line>
  void openIfStart(const Line& line) {
    if (!contains(line, kPosListStart)) return;
    if (counted_) {
      if (used >= capacity_) throw BufferFull();
      listStart_ = used;
      buf_[used++] = geo::PointPair{0, 0};
    } else {
      used = 0;
      box.reset();
    }
    open_ = true;
  }
  // "</gml:posList>" (taken off the line) closes an open list; true when it did.
  template <typename Line>
  bool closeIfEnd(Line& line) {
    if (!(take(line, kPosListEnd) && open_)) return false;
    close();
    return true;
  }
  void close() {
    if (counted_) buf_[listStart_].x = static_cast<double>(used - listStart_ - 1);
    open_ = false;
  }
  geo::PointPair* data() const { return buf_; }

  std::size_t used = 0;
  Box box;

 private:
  void pair(std::string_view line) {
    double la, lo;
    parsePair(line, la, lo);
    store(lo, la);
  }
  void store(double lo, double la) {
    if (used >= capacity_) throw BufferFull();
    buf_[used++] = geo::PointPair{lo, la};
    box.add(lo, la);
  }
  geo::PointPair* buf_;
  std::size_t capacity_;
  bool counted_;
  bool open_ = false;
  std::size_t listStart_ = 0;
};

// The pair count of the counted list whose slot is at `at`, bounded by the pairs used.
inline std::size_t countedListSize(const geo::PointPair* buffer, std::size_t at, std::size_t used) {
  const auto count = static_cast<std::size_t>(buffer[at].x);
  return count < used - at - 1 ? count : used - at - 1;
}

// The next line that is not a plain pair of an open list of `list`, its tags noted; the
// plain pairs before it are stored. Coordinate lines are most lines of a file, and this
// way they are read once and not searched for tags.
inline bool nextOtherLine(LineScanner& in, ListCollector& list, TagLine& line) {
  while (in.next(line.text))
    if (!list.takePlainLine(line.text)) {
      line.noteTags();
      return true;
    }
  return false;
}

// Scans the features of a file with counted lists. For every line outside a list,
// `fields(line)` reads the feature's values; `listClosed()` follows each list and
// `featureEnd()` each feature end marker, with the feature's lists in the buffer.
template <typename Fields, typename ListClosed, typename FeatureEnd>
void scanFeatures(LineScanner& in, ListCollector& list, std::string_view start, std::string_view end, Fields fields,
                  ListClosed listClosed, FeatureEnd featureEnd) {
  TagLine line;
  while (nextOtherLine(in, list, line)) {
    if (list.takeCoordinateLine(line)) continue;
    if (contains(line, start)) list.startFeature();
    if (list.closeIfEnd(line)) listClosed();
    fields(line);
    if (contains(line, end)) {
      if (list.open()) list.close();
      featureEnd();
    }
    list.pairIfOpen(line);
    list.openIfStart(line);
  }
}

}  // namespace gml
