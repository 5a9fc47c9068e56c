#include "converter/geo/colour_legend.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "converter/geo/palette.h"
#include "platform/numbers.h"
#include "platform/text.h"

namespace geo {

namespace {

long long trueColourOf(int r, int g, int b) { return static_cast<long long>(r) * 65536 + g * 256 + b; }

// Code units of the text as the legacy program saw them (UTF-16). Malformed UTF-8
// bytes count as U+FFFD each, so every name still gets a colour.
std::vector<char16_t> utf16Units(std::string_view utf8) {
  std::vector<char16_t> units;
  units.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      units.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    bool ok = i + extra < utf8.size();
    for (std::size_t k = 1; ok && k <= extra; ++k) {
      const unsigned char cont = static_cast<unsigned char>(utf8[i + k]);
      if ((cont & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (cont & 0x3F);
      }
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if (ok && ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
               (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))) {
      ok = false;
    }
    if (!ok) {
      units.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return units;
}

}  // namespace

long long trueColourValue(std::uint32_t bgr) {
  return trueColourOf(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                      static_cast<int>((bgr >> 16) & 0xFFu));
}

Colour paletteColour(std::uint32_t bgr, Flavour flavour, bool* stopRun) {
  const int index = paletteIndexOf(bgr);
  if (index > 0) return {index, std::nullopt};
  if (flavour == Flavour::palette255 && stopRun != nullptr) *stopRun = true;
  return {7, trueColourValue(bgr)};
}

int lineweightCode(int index) {
  if (index < 0 || index >= static_cast<int>(kLineweights.size())) return 5;
  return kLineweights[static_cast<std::size_t>(index)];
}

Colour rgb(int i, int n, Flavour flavour, int rampPosition) {
  // Level counts are powers of two from 1; a zero or negative count would divide by zero.
  if (n < 1) n = 1;

  if (paletteOnly(flavour)) {
    int a = 170 - (160 / n) * i;
    if (a < 10) a = 10;
    if (a > 170) a = 170;
    if (n >= 5) return {a, std::nullopt};
    return {(a - 10) / 40 + 1, std::nullopt};
  }

  const int b = 32 * rampPosition;
  int p = 0;
  int red = 0, green = 0, blue = 0;
  if (n >= 3) {
    p = (256 - b) * 4 / n;
    const int c = n / 4;
    const double q = n / 4.0;
    // With n a power of two q is whole and the bands meet exactly; for any other n a
    // level between two bands goes to the later one.
    if (i <= q - 1) {
      red = b;
      green = b + p * i;
      blue = 255;
    } else if (i <= 2 * q - 1) {
      red = b;
      green = 255;
      blue = 255 - (i - c) * p;
    } else if (i <= 3 * q - 1) {
      red = b + (i - 2 * c) * p;
      green = 255;
      blue = b;
    } else if (i < n) {
      red = 255;
      green = 255 - (i - 3 * c) * p;
      blue = b;
    } else {
      red = 255;
      green = b;
      blue = b;
    }
  } else if (n == 2) {
    p = 512;
    if (i <= 0) {
      red = b, green = b, blue = 255;
    } else if (i == 1) {
      red = b, green = 255, blue = b;
    } else {
      red = 255, green = b, blue = b;
    }
  } else {
    p = 1024;
    if (i <= 0) {
      red = b, green = b, blue = 255;
    } else {
      red = 255, green = b, blue = b;
    }
  }
  // Components are bytes: anything outside 0..255 wraps.
  red &= 0xFF;
  green &= 0xFF;
  blue &= 0xFF;

  const int index = 170 - static_cast<int>(std::floor(static_cast<double>(i) * p / 64.0)) * 10;
  return {index, trueColourOf(red, green, blue)};
}

Colour areacl(std::string_view nameUtf8, Flavour flavour) {
  const std::vector<char16_t> units = utf16Units(nameUtf8);
  // 32-bit wrap-around keeps long names on the colours earlier drawings gave them.
  std::uint32_t sum = 1234567u;
  for (std::size_t k = 0; k + 1 < units.size(); ++k) {
    sum += static_cast<std::uint32_t>(units[k]) * static_cast<std::uint32_t>(k + 8) * static_cast<std::uint32_t>(k + 6);
  }
  const std::int32_t s = static_cast<std::int32_t>(sum);

  if (flavour == Flavour::palette255) return {s % 256, std::nullopt};  // keeps the sign of s
  const int red = 192 + s % 64;
  const int green = 192 + (s / 64) % 64;
  const int blue = 192 + (s / 4096) % 64;
  return {254, trueColourOf(red, green, blue)};
}

std::string legendLabel(const SheetLegend& legend, int n, std::string_view separator, double value) {
  const double interval = legend.interval;
  const double bottom = legend.bottom;
  const double top = (n - 1) * interval + bottom;
  if (bottom > value) {
    value = bottom - interval;
  } else if (value > top) {
    value = top;
  }

  const char* tail = ".0f";
  int width = 0;
  if (legend.decimals == 1) {
    tail = ".1f";
    width = 2;
  } else if (legend.decimals == 2) {
    tail = ".2f";
    width = 3;
  }

  const double l = std::floor(n * interval + bottom);
  if (l < -9999) {
    width += 4;
  } else if (l <= -1000) {
    width += 5;
  } else if (l <= -100) {
    width += 4;
  } else if (l <= -10) {
    width += 3;
  } else if (l <= -1) {
    width += 2;
  } else if (l <= 9) {
    width += 1;
  } else if (l <= 99) {
    width += 2;
  } else if (l <= 999) {
    width += 3;
  } else {
    width += 4;
  }
  const std::string format = "%" + std::to_string(width) + tail;

  std::string label;
  if (value < bottom - 1e-7) {
    label = " " + platform::formatNumber(format.c_str(), bottom) + "未満";
  } else if (value >= top - 1e-7) {
    label = "_" + platform::formatNumber(format.c_str(), (interval - 1e-7) * (n - 1) + bottom) + "以上";
  } else {
    const double level = std::trunc((value - bottom) / (interval - 1e-7)) * interval + bottom;
    label = "_" + platform::formatNumber(format.c_str(), level);
  }

  const std::size_t dot = label.find('.');
  if (dot != std::string::npos) {
    const std::string_view rest = std::string_view(label).substr(dot + 1);
    std::string replaced = label.substr(0, dot);
    replaced += separator;
    replaced += platform::firstCharacters(rest, 10);
    label = std::move(replaced);
  }
  return label;
}

}  // namespace geo
