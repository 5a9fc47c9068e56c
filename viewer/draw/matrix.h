#pragma once
// 4 × 4 transformations as the fixed-function pipeline keeps them (column-major), for the
// views that follow a program's transformations without OpenGL: extents and printing.
#include <array>

#include "viewer/dxf/drawing.h"

namespace viewer {

using Matrix = std::array<double, 16>;

Matrix identityMatrix();
Matrix times(const Matrix& a, const Matrix& b);
Matrix translation(Vec3 by);
Matrix scaling(double x, double y, double z);
// About `axis` (any length; none turns nothing).
Matrix rotation(double degrees, Vec3 axis);

}  // namespace viewer
