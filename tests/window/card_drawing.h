#pragma once

#include <gtkmm.h>

#include <cmath>

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

// Whether `node` holds a shadow cast by an outline of that size.
inline bool holdsShadowOf(GskRenderNode* node, float width, float height) {
  switch (gsk_render_node_get_node_type(node)) {
    case GSK_OUTSET_SHADOW_NODE: {
      const graphene_rect_t& outline = gsk_outset_shadow_node_get_outline(node)->bounds;
      return outline.size.width == width && outline.size.height == height;
    }
    case GSK_CONTAINER_NODE:
      for (guint i = 0; i < gsk_container_node_get_n_children(node); ++i) {
        if (holdsShadowOf(gsk_container_node_get_child(node, i), width, height)) return true;
      }
      return false;
    case GSK_CLIP_NODE:
      return holdsShadowOf(gsk_clip_node_get_child(node), width, height);
    case GSK_TRANSFORM_NODE:
      return holdsShadowOf(gsk_transform_node_get_child(node), width, height);
    case GSK_ROUNDED_CLIP_NODE:
      return holdsShadowOf(gsk_rounded_clip_node_get_child(node), width, height);
    case GSK_OPACITY_NODE:
      return holdsShadowOf(gsk_opacity_node_get_child(node), width, height);
    case GSK_DEBUG_NODE:
      return holdsShadowOf(gsk_debug_node_get_child(node), width, height);
    default:
      return false;
  }
}

// Whether the card draws a shadow around itself.
inline bool castsShadow(Gtk::Widget& card) {
  const int width = card.get_width(), height = card.get_height();
  GskRenderNode* node = drawnNodeOf(card.gobj(), width, height);
  if (!node) return false;
  const bool shadow = holdsShadowOf(node, float(width), float(height));
  gsk_render_node_unref(node);
  return shadow;
}

}  // namespace zemblo::testing
