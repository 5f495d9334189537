#pragma once

#include <gtkmm.h>

#include "model/color.h"
#include "window/window_harness.h"

namespace zemblo::testing {

// The mean colour a widget draws over a rectangle given in fractions of its size (left, top,
// right, bottom), premultiplied by its opacity. Good for coarse comparisons of a drawing that
// carries random grain.
inline Color meanDrawnColor(Gtk::Widget& widget, double left, double top, double right,
                            double bottom) {
  const auto pixels = pixelsOf(widget);
  const int width = widget.get_width(), height = widget.get_height();
  double sum[3] = {0, 0, 0};
  double count = 0;
  for (int y = int(top * height); y < int(bottom * height); ++y) {
    for (int x = int(left * width); x < int(right * width); ++x, ++count) {
      // Downloaded textures hold blue, green, red, alpha.
      for (int c = 0; c < 3; ++c) sum[c] += pixels[(size_t(y) * width + size_t(x)) * 4 + 2 - c];
    }
  }
  if (count == 0) return {};
  return {sum[0] / count / 255, sum[1] / count / 255, sum[2] / count / 255};
}

}  // namespace zemblo::testing
