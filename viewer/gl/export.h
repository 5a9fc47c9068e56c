#pragma once
// The viewer's images without a window: a drawing rendered off screen into pixels or an
// image file. The command line's export and the window's "Bitmap作成" both render here, so
// the two give the same pixels.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer/draw/view.h"

namespace viewer {

// Renders tab `tab` of a loaded drawing at width x height pixels into `rgb` (top row
// first), with the yellow export frame on the model tab when `exportFrame`. The drawing's
// current view is used as it stands (and adapted to the image's proportions). False with
// the reason in `error`; the faults met compiling go to `notes` when given.
bool renderImage(Drawing& drawing, int tab, int width, int height, bool exportFrame, std::vector<std::uint8_t>& rgb,
                 std::string& error, std::vector<std::string>* notes = nullptr);

// Loads `dxfPath`, renders tab `tab` (0 the model tab) at width x height pixels, seen from
// `direction` when one is given, and writes `outPath` (.png or .bmp). A drawing saved
// without a model view is shown whole. False with the reason in `error`; the faults the
// drawing was mended for, and those met compiling it, go to `notes` when given.
bool exportImage(const std::string& dxfPath, const std::string& outPath, int tab,
                 std::optional<ViewDirection> direction, int width, int height, std::string& error,
                 std::vector<std::string>* notes = nullptr);

}  // namespace viewer
