#include "ui/readable_colour.h"

#include <cmath>

namespace {

constexpr Colour rgb(uint32_t r, uint32_t g, uint32_t b) {
  return r | g << 8 | b << 16;
}

// In order of preference: the template's dark red, then a red for dark
// faces.
constexpr Colour WarningColours[] = {rgb(128, 0, 0), rgb(255, 128, 128)};

double linear(uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Colour c) {
  return 0.2126 * linear(c & 0xFF) + 0.7152 * linear(c >> 8 & 0xFF) +
         0.0722 * linear(c >> 16 & 0xFF);
}

}  // namespace

double contrastRatio(Colour a, Colour b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::fmax(la, lb) + 0.05) / (std::fmin(la, lb) + 0.05);
}

Colour readableWarningColour(Colour face, Colour text) {
  for (Colour warning : WarningColours) {
    if (contrastRatio(warning, face) >= ReadableContrast) return warning;
  }
  return text;
}
