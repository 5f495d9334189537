#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>

#include "support/rendered_pixels.h"

// What a widget drew, read from the render nodes of its last frame rather than from the view's
// own state: the fills and gradients a user sees.
namespace zemblo::testing {

// What a widget drew: all of it, or only what it drew itself, at its own origin. Its children are
// drawn moved to their places, which its own drawing never is here.
enum class Drawn { all, ownOnly };

// The first node under `node`, in drawing order, that `matches`.
inline GskRenderNode* firstNode(GskRenderNode* node,
                                const std::function<bool(GskRenderNode*)>& matches,
                                Drawn drawn = Drawn::all) {
  if (!node) return nullptr;
  if (matches(node)) return node;
  const auto inside = [&](GskRenderNode* child) { return firstNode(child, matches, drawn); };
  switch (gsk_render_node_get_node_type(node)) {
    case GSK_CONTAINER_NODE:
      for (guint i = 0; i < gsk_container_node_get_n_children(node); ++i) {
        if (auto* found = inside(gsk_container_node_get_child(node, i))) return found;
      }
      return nullptr;
    case GSK_ROUNDED_CLIP_NODE:
      return inside(gsk_rounded_clip_node_get_child(node));
    case GSK_CLIP_NODE:
      return inside(gsk_clip_node_get_child(node));
    case GSK_TRANSFORM_NODE:
      return drawn == Drawn::all ? inside(gsk_transform_node_get_child(node)) : nullptr;
    case GSK_OPACITY_NODE:
      return inside(gsk_opacity_node_get_child(node));
    case GSK_SHADOW_NODE:
      return inside(gsk_shadow_node_get_child(node));
    case GSK_DEBUG_NODE:
      return inside(gsk_debug_node_get_child(node));
    default:
      return nullptr;
  }
}

// Whether `widget` drew a node of `type` at its last frame; with `fill`, the colour of the first
// plain fill found.
inline bool drewNode(GtkWidget* widget, GskRenderNodeType type, Drawn drawn = Drawn::all,
                     GdkRGBA* fill = nullptr) {
  GskRenderNode* frame =
      drawnNodeOf(widget, gtk_widget_get_width(widget), gtk_widget_get_height(widget));
  GskRenderNode* found = firstNode(
      frame, [type](GskRenderNode* n) { return gsk_render_node_get_node_type(n) == type; }, drawn);
  if (found && fill && type == GSK_COLOR_NODE) *fill = *gsk_color_node_get_color(found);
  if (frame) gsk_render_node_unref(frame);
  return found;
}

// The opacity of the first plain fill `widget` drew at its last frame, 0 when it drew none.
inline double fillOpacityDrawnBy(GtkWidget* widget, Drawn drawn = Drawn::all) {
  GdkRGBA fill{};
  return drewNode(widget, GSK_COLOR_NODE, drawn, &fill) ? fill.alpha : 0;
}

// The colour of the first plain fill `widget` drew itself; none when it drew none.
inline std::optional<GdkRGBA> ownFillDrawnBy(GtkWidget* widget) {
  GdkRGBA fill{};
  if (!drewNode(widget, GSK_COLOR_NODE, Drawn::ownOnly, &fill)) return std::nullopt;
  return fill;
}

// Whether `widget` drew a linear gradient at its last frame.
inline bool drawsGradient(GtkWidget* widget) { return drewNode(widget, GSK_LINEAR_GRADIENT_NODE); }

}  // namespace zemblo::testing
