// The warning colour on the dialog's face, and the contrast it is chosen by.
#include "ui/readable_colour.h"

#include <gtest/gtest.h>

namespace {

constexpr Colour rgb(uint32_t r, uint32_t g, uint32_t b) {
  return r | g << 8 | b << 16;
}
constexpr Colour Black = rgb(0, 0, 0), White = rgb(255, 255, 255);
constexpr Colour DarkRed = rgb(128, 0, 0), LightRed = rgb(255, 128, 128);

TEST(ReadableColour, ContrastFollowsLuminanceInEitherOrder) {
  EXPECT_NEAR(contrastRatio(Black, White), 21.0, 1e-9);
  EXPECT_NEAR(contrastRatio(White, Black), 21.0, 1e-9);
  EXPECT_NEAR(contrastRatio(DarkRed, Black), 1.918, 0.001);
  // Green weighs most, blue least, and the low channel values are linear.
  EXPECT_NEAR(contrastRatio(rgb(0, 255, 0), Black), 15.3, 0.01);
  EXPECT_NEAR(contrastRatio(rgb(0, 0, 255), Black), 2.44, 0.01);
  EXPECT_NEAR(contrastRatio(rgb(10, 10, 10), Black), 1.0607, 0.0001);
}

TEST(ReadableColour, WarningIsDarkRedWhereReadableElseLightRedElseText) {
  const struct {
    Colour face, text, warning;
  } cases[] = {
      {rgb(240, 240, 240), Black, DarkRed},  // Windows' face
      {rgb(212, 208, 200), Black, DarkRed},  // the classic face
      {White, Black, DarkRed},               // a high-contrast white scheme
      {Black, White, LightRed},              // a high-contrast black scheme
      {rgb(0, 0, 128), White, LightRed},     // a dark blue face
      {rgb(128, 128, 128), Black, Black},    // mid grey: neither red reads
      // Each red on each side of 4.5 to 1: dark red 4.55 and 4.50 (just
      // below), light red 4.54 and 4.47.
      {rgb(167, 167, 167), Black, DarkRed},
      {rgb(166, 166, 166), Black, Black},
      {rgb(60, 60, 60), White, LightRed},
      {rgb(61, 61, 61), White, White},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readableWarningColour(c.face, c.text), c.warning) << c.face;
  }
}

}  // namespace
