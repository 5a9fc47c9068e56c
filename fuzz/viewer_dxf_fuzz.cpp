// The viewer's DXF reader.
#include "fuzz/fuzz_input.h"
#include "viewer/dxf/drawing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzz::writeInput("fuzz.dxf", {reinterpret_cast<const char*>(data), size});
  viewer::Drawing drawing;
  viewer::LoadError error;
  viewer::loadDrawing(file.string(), drawing, error);
  return 0;
}
