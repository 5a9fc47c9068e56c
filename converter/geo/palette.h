#pragma once
// The DXF colour table (255 entries, index 1..255) with this system's deviations from
// the default colour index palette.
#include <array>
#include <cstdint>

namespace geo {

// 0xRRGGBB of entry i (1..255); entry 0 is unused.
const std::array<std::uint32_t, 256>& paletteRgb();

// Index 1..maxIndex whose colour equals `bgr` (0x00BBGGRR, as the settings hold colours),
// searching upwards; 0 when none does.
int paletteIndexOf(std::uint32_t bgr, int maxIndex = 255);

}  // namespace geo
