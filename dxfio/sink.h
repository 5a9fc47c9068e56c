#pragma once
// Where the groups of a DXF file go: a file (file_sink.h) or, for tests, a list
// (collecting_sink.h). A sink only stores; the writer decides what is written.
#include <span>
#include <string_view>

namespace dxfio {

// DXF x and y of one vertex (for plane coordinates: easting, northing).
struct Vertex {
  double x, y;
};

class Sink {
 public:
  virtual ~Sink() = default;
  // One group: the code and its value, UTF-8 (numbers are ASCII already).
  virtual void pair(int code, std::string_view value) = 0;
  // The next pair holds the handle seed placeholder, to be patched once the seed is known.
  virtual void markHandleSeed() = 0;
  // 10=x; 20=y for every vertex, reals spelled as DxfWriter spells them. A sink may write
  // them at once; this one goes through pair().
  virtual void vertices(std::span<const Vertex> list);
};

}  // namespace dxfio
