#include "model/color.h"
#include "support/hsb_of.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace zemblo {
namespace {

Color bytes(int red, int green, int blue) { return {red / 255.0, green / 255.0, blue / 255.0}; }

std::string hexText(int red, int green, int blue) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", red, green, blue);
  return text;
}

TEST(ColorHex, LenientSpellingsOfOneColourReadAlike) {
  const Color expected = bytes(0x5E, 0x5C, 0xE6);
  for (const char* text : {"#5E5CE6", "5E5CE6", "#5e5ce6", "  #5E5CE6  ", "#5E5CE6\n", "\t5E5CE6",
                           "0x5E5CE6", "0X5e5ce6", "#5E5CE6 and more words", "#5E5CE6;"}) {
    EXPECT_EQ(Color::fromHex(text), expected) << text;
  }
  EXPECT_EQ(Color::fromHex("5e5ce6").hexString(), "#5E5CE6");
}

TEST(ColorHex, DigitCountIsNotInterpretedAsAFormat) {
  // Three digits are a plain number, not a shorthand.
  EXPECT_EQ(Color::fromHex("#FFF"), bytes(0x00, 0x0F, 0xFF));
  // Eight digits keep only the low six: an alpha pair shifts everything one place.
  EXPECT_EQ(Color::fromHex("#11223344"), bytes(0x22, 0x33, 0x44));
  // More digits than 64 bits can hold saturate rather than wrap around.
  EXPECT_EQ(Color::fromHex("#123456789ABCDEF0123"), bytes(0xFF, 0xFF, 0xFF));
}

TEST(ColorHex, UnreadableTextIsBlack) {
  for (const char* text : {"", "   ", "#", "##5E5CE6", "red", "purple", "#zz5E5C", "0x"}) {
    EXPECT_EQ(Color::fromHex(text), Color()) << '"' << text << '"';
  }
  // A name that happens to start with hex letters reads those letters.
  EXPECT_EQ(Color::fromHex("beige"), bytes(0x00, 0x00, 0xBE));
}

TEST(ColorHex, EveryByteSurvivesARoundTrip) {
  for (int v = 0; v < 256; ++v) {
    const std::string text = hexText(v, 255 - v, (v * 7) % 256);
    EXPECT_EQ(Color::fromHex(text).hexString(), text);
  }
}

TEST(ColorHex, WritingRoundsHalvesUpAndClampsOutOfGamutComponents) {
  EXPECT_EQ((Color{0.5, 1.0, 0.0}).hexString(), "#80FF00");
  EXPECT_EQ((Color{127.49 / 255, 0, 0}).hexString(), "#7F0000");
  EXPECT_EQ((Color{1.2, -0.3, 0.25}).hexString(), "#FF0040");
  EXPECT_EQ((Color{std::numeric_limits<double>::quiet_NaN(), 1e300, -1e300}).hexString(),
            "#00FF00");
  // What was written reads back as a colour that writes the same text again.
  const std::string written = (Color{1.7, -2.0, 0.6}).hexString();
  EXPECT_EQ(written.size(), 7u);
  EXPECT_EQ(Color::fromHex(written).hexString(), written);
}

TEST(ColorHsb, ConversionRoundTripsAroundTheWheel) {
  EXPECT_EQ(Color::fromHsb({0, 1, 1}), bytes(255, 0, 0));
  EXPECT_EQ(Color::fromHsb({1, 1, 1}), bytes(255, 0, 0));  // a full turn is red again
  EXPECT_EQ(Color::fromHsb({0.5, 0, 0.5}), (Color{0.5, 0.5, 0.5}));
  for (int step = 0; step < 24; ++step) {
    const Hsb in{step / 24.0, 0.6, 0.8};
    const Hsb out = testing::hsbOf(Color::fromHsb(in));
    EXPECT_NEAR(out.hue, in.hue, 1e-12) << step;
    EXPECT_NEAR(out.saturation, in.saturation, 1e-12) << step;
    EXPECT_NEAR(out.brightness, in.brightness, 1e-12) << step;
  }
  const Hsb grey = testing::hsbOf(Color{0.3, 0.3, 0.3});
  EXPECT_EQ(grey.hue, 0);
  EXPECT_EQ(grey.saturation, 0);
  EXPECT_EQ(testing::hsbOf(Color()).saturation,
            0);  // black has no saturation (no division by zero)
}

TEST(ColorCompanion, GreysMoveTowardsTheMiddleAndColoursTurn) {
  const Hsb white = testing::hsbOf((Color{1, 1, 1}).hsbAdjusted());
  EXPECT_DOUBLE_EQ(white.brightness, 0.82);
  EXPECT_EQ(white.saturation, 0);

  EXPECT_DOUBLE_EQ(testing::hsbOf(Color().hsbAdjusted()).brightness, 0.08);
  EXPECT_DOUBLE_EQ(testing::hsbOf((Color{0.5, 0.5, 0.5}).hsbAdjusted()).brightness,
                   0.88);  // 0.5 is dark
  EXPECT_DOUBLE_EQ(testing::hsbOf((Color{0.7, 0.7, 0.7}).hsbAdjusted()).brightness, 0.7 * 0.82);

  const Hsb red = testing::hsbOf((Color{1, 0, 0}).hsbAdjusted());
  EXPECT_NEAR(red.hue, 0.09, 1e-12);
  EXPECT_NEAR(red.saturation, 0.92, 1e-12);
  EXPECT_DOUBLE_EQ(red.brightness, 1.0);

  const Hsb wrapped = testing::hsbOf(Color::fromHsb({0.95, 0.8, 0.5}).hsbAdjusted());
  EXPECT_NEAR(wrapped.hue, 0.04, 1e-12);
  EXPECT_NEAR(wrapped.saturation, 0.8 * 0.92, 1e-12);
  EXPECT_NEAR(wrapped.brightness, 0.5 * 1.04 + 0.03, 1e-12);
}

TEST(ColorRandom, PleasantColoursStayInsideTheirRanges) {
  EXPECT_EQ(color_detail::scaledDraw(0, 0.5, 0.85), 0.5);
  EXPECT_EQ(color_detail::scaledDraw(color_detail::kDrawSteps, 0.5, 0.85), 0.85);
  EXPECT_EQ(color_detail::scaledDraw(color_detail::kDrawSteps / 2, 0, 1), 0.5);

  std::mt19937_64 generator(20240501);
  double lowestSaturation = 1, lowestBrightness = 1;
  for (int i = 0; i < 5000; ++i) {
    const Hsb hsb = testing::hsbOf(Color::randomPleasant(generator));
    lowestSaturation = std::min(lowestSaturation, hsb.saturation);
    lowestBrightness = std::min(lowestBrightness, hsb.brightness);
    EXPECT_LE(hsb.saturation, 0.85 + 1e-12);
    EXPECT_LE(hsb.brightness, 0.95 + 1e-12);
  }
  EXPECT_GE(lowestSaturation, 0.5 - 1e-12);
  EXPECT_GE(lowestBrightness, 0.7 - 1e-12);

  const Hsb fromSystem = testing::hsbOf(Color::randomPleasant());
  EXPECT_GE(fromSystem.saturation, 0.5 - 1e-12);
  EXPECT_GE(fromSystem.brightness, 0.7 - 1e-12);
}

TEST(ColorLuminance, WeightsTheRawComponents) {
  EXPECT_DOUBLE_EQ((Color{1, 1, 1}).luminance(), 1.0);
  EXPECT_EQ(Color().luminance(), 0);
  EXPECT_DOUBLE_EQ((Color{0, 1, 0}).luminance(), 0.7152);
  EXPECT_DOUBLE_EQ((Color{0, 0, 1}).luminance(), 0.0722);
  // No linearisation: a mid grey is as bright as its components.
  EXPECT_DOUBLE_EQ(Color::fromHex("#808080").luminance(), 128.0 / 255.0);
}

}  // namespace
}  // namespace zemblo
