#include "viewer/draw/matrix.h"

#include <cmath>

namespace viewer {

Matrix identityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix times(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[c * 4 + k];
      r[c * 4 + row] = s;
    }
  return r;
}

Matrix translation(Vec3 v) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, v.x, v.y, v.z, 1}; }

Matrix scaling(double x, double y, double z) { return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}; }

Matrix rotation(double degrees, Vec3 axis) {
  constexpr double kPi = 3.14159265358979323846;
  const double len = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
  if (!(len > 0)) return identityMatrix();
  const double x = axis.x / len, y = axis.y / len, z = axis.z / len;
  const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a), k = 1 - c;
  return {x * x * k + c,
          y * x * k + z * s,
          x * z * k - y * s,
          0,
          x * y * k - z * s,
          y * y * k + c,
          y * z * k + x * s,
          0,
          x * z * k + y * s,
          y * z * k - x * s,
          z * z * k + c,
          0,
          0,
          0,
          0,
          1};
}

}  // namespace viewer
