#pragma once
// The viewer's export without a window: a DXF file rendered off screen into an image file.
#include <optional>
#include <string>
#include <vector>

#include "viewer/draw/view.h"

namespace viewer {

// Loads `dxfPath`, renders tab `tab` (0 the model tab) at width x height pixels, seen from
// `direction` when one is given, and writes `outPath` (.png or .bmp). A drawing saved
// without a model view is shown whole. False with the reason in `error`; the faults the
// drawing was mended for, and those met compiling it, go to `notes` when given.
bool exportImage(const std::string& dxfPath, const std::string& outPath, int tab,
                 std::optional<ViewDirection> direction, int width, int height, std::string& error,
                 std::vector<std::string>* notes = nullptr);

}  // namespace viewer
