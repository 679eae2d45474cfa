// Text colours that stay readable on the dialog's face, whatever colours
// the user's scheme gives it (high-contrast schemes make it black).
#pragma once

#include <cstdint>

// A colour as Windows' COLORREF holds it: red in the low byte, then green,
// then blue.
using Colour = uint32_t;

// The contrast of two colours, from 1 (the same lightness) to 21 (black on
// white), computed from their relative luminance in sRGB.
double contrastRatio(Colour a, Colour b);

// What text needs: the usual accessibility threshold.
constexpr double ReadableContrast = 4.5;

// The warning colour on `face`: dark red where it is readable there; else a
// light red where that is; else the scheme's own text colour `text`.
Colour readableWarningColour(Colour face, Colour text);
