#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

// Colours of the model: opaque sRGB values, stored as "#RRGGBB" text wherever they persist
// (space colours, the custom theme colours, the space presets).
namespace zemblo {

// The appearance a view is drawn in.
enum class ColorScheme { light, dark };

struct Hsb {
  double hue = 0;         // 0…1, one full turn
  double saturation = 0;  // 0…1
  double brightness = 0;  // 0…1
};

struct Color {
  double r = 0;  // sRGB components, 0…1 inside the gamut
  double g = 0;
  double b = 0;

  // Reads colour text leniently and never fails: surrounding white space and one leading "#"
  // are dropped, then a hexadecimal number is scanned from the start (an optional "0x", digits up
  // to the first other character, nothing readable counts as 0) and its low 24 bits give red,
  // green and blue. So "5e5ce6", "0x5E5CE6" and "#5E5CE6 and more" all read as #5E5CE6, and
  // anything unreadable reads as black.
  static Color fromHex(std::string_view text);

  // "#" and six upper-case hex digits. Components outside 0…1 are clamped so that the text always
  // reads back as a colour and never grows extra digits.
  std::string hexString() const;

  static Color fromHsb(const Hsb& hsb);

  // A random colour that sits well as a theme colour: any hue, saturation 0.5…0.85, brightness
  // 0.7…0.95.
  static Color randomPleasant();
  template <std::uniform_random_bit_generator Generator>
  static Color randomPleasant(Generator& generator);

  // The companion for the second stop of a gradient that starts at this colour: greys move
  // towards the middle (light ones darker, dark ones lighter), coloured colours turn the hue by
  // about 32 degrees and soften slightly.
  Color hsbAdjusted() const;

  // Weighted sum of the sRGB components as they are (no linearisation); 0 for black, 1 for white.
  double luminance() const;

  friend bool operator==(const Color&, const Color&) = default;

 private:
  Hsb hsb() const;
};

// A point in a unit square: (0, 0) is the top leading (left) corner, (1, 1) the bottom trailing.
struct UnitPoint {
  double x = 0;
  double y = 0;

  static constexpr UnitPoint topLeading() { return {0, 0}; }
  static constexpr UnitPoint top() { return {0.5, 0}; }
  static constexpr UnitPoint topTrailing() { return {1, 0}; }
  static constexpr UnitPoint leading() { return {0, 0.5}; }
  static constexpr UnitPoint trailing() { return {1, 0.5}; }
  static constexpr UnitPoint bottomLeading() { return {0, 1}; }
  static constexpr UnitPoint bottom() { return {0.5, 1}; }
  static constexpr UnitPoint bottomTrailing() { return {1, 1}; }

  friend bool operator==(const UnitPoint&, const UnitPoint&) = default;
};

// A two-stop linear gradient: `startColor` at `startPoint`, `endColor` at `endPoint`, in unit
// coordinates of the painted rectangle.
struct LinearGradient {
  Color startColor;
  Color endColor;
  UnitPoint startPoint;
  UnitPoint endPoint;

  friend bool operator==(const LinearGradient&, const LinearGradient&) = default;
};

namespace color_detail {

// The top of the integer range that a closed-range draw picks from; it maps to the upper bound.
inline constexpr uint64_t kDrawSteps = uint64_t{1} << 53;

// Scales a draw in 0…kDrawSteps into the closed range lower…upper.
double scaledDraw(uint64_t draw, double lower, double upper);

template <std::uniform_random_bit_generator Generator>
double drawClosed(Generator& generator, double lower, double upper) {
  std::uniform_int_distribution<uint64_t> steps(0, kDrawSteps);
  return scaledDraw(steps(generator), lower, upper);
}

}  // namespace color_detail

template <std::uniform_random_bit_generator Generator>
Color Color::randomPleasant(Generator& generator) {
  const double hue = color_detail::drawClosed(generator, 0, 1);
  const double saturation = color_detail::drawClosed(generator, 0.5, 0.85);
  const double brightness = color_detail::drawClosed(generator, 0.7, 0.95);
  return fromHsb({hue, saturation, brightness});
}

}  // namespace zemblo
