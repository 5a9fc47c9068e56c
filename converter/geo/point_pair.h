#pragma once

namespace geo {

// One pair of the run's shared buffer: a coordinate pair of a feature, or (first value)
// an elevation cell.
struct PointPair {
  double x, y;
};

}  // namespace geo
