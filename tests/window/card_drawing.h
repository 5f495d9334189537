#pragma once

#include <gtkmm.h>

#include <cmath>

#include "support/drawn_nodes.h"
#include "support/rendered_pixels.h"
#include "window/window_harness.h"

// What the content card draws of its own shape: the rounding of its corners and its shadow.
namespace zemblo::testing {

// The radius of the card's top-left corner as drawn, read from where its diagonal turns opaque;
// a whole pixel of the diagonal lies at most 3.5 points beyond the arc.
inline double drawnCornerRadius(Gtk::Widget& card) {
  const auto pixels = pixelsOf(card);
  const int width = card.get_width();
  const int reach = std::min(width, card.get_height()) / 2;
  int first = 0;
  while (first < reach && pixels[(size_t(first) * width + first) * 4 + 3] < 255) ++first;
  return first / (1 - 1 / std::sqrt(2.0));
}

// Whether the card draws a shadow around itself.
inline bool castsShadow(Gtk::Widget& card) {
  const int width = card.get_width(), height = card.get_height();
  GskRenderNode* node = drawnNodeOf(card.gobj(), width, height);
  if (!node) return false;
  const bool shadow = firstNode(node, [&](GskRenderNode* each) {
    if (gsk_render_node_get_node_type(each) != GSK_OUTSET_SHADOW_NODE) return false;
    const graphene_rect_t& outline = gsk_outset_shadow_node_get_outline(each)->bounds;
    return outline.size.width == float(width) && outline.size.height == float(height);
  });
  gsk_render_node_unref(node);
  return shadow;
}

}  // namespace zemblo::testing
