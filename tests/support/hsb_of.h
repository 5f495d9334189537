#pragma once

#include <algorithm>

#include "model/color.h"

namespace zemblo::testing {

// Hue, saturation and brightness of a colour, worked out here as the colour pickers of the
// desktop define them: the tests' own reckoning to compare the browser's colours with. Hue in
// 0…1 from red, greys with hue 0.
inline Hsb hsbOf(const Color& color) {
  const double maximum = std::max({color.r, color.g, color.b});
  const double minimum = std::min({color.r, color.g, color.b});
  const double chroma = maximum - minimum;
  Hsb hsb{0, maximum > 0 ? chroma / maximum : 0, maximum};
  if (chroma <= 0) return hsb;
  // Sixths of the circle from red, towards green.
  double sixths = 0;
  if (maximum == color.r) {
    sixths = (color.g - color.b) / chroma;
  } else if (maximum == color.g) {
    sixths = 2 + (color.b - color.r) / chroma;
  } else {
    sixths = 4 + (color.r - color.g) / chroma;
  }
  hsb.hue = sixths / 6 < 0 ? sixths / 6 + 1 : sixths / 6;
  return hsb;
}

}  // namespace zemblo::testing
