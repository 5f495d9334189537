#pragma once

#include <gtk/gtk.h>

namespace zemblo {

// A rectangle of the settings' drawn pictures, in points from the picture's top-left corner.
struct LayoutRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  double right() const { return x + width; }
  double bottom() const { return y + height; }
  graphene_rect_t graphene() const {
    graphene_rect_t r;
    graphene_rect_init(&r, static_cast<float>(x), static_cast<float>(y),
                       static_cast<float>(width > 0 ? width : 0),
                       static_cast<float>(height > 0 ? height : 0));
    return r;
  }

  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

}  // namespace zemblo
