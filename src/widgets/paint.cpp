#include "widgets/paint.h"

#include <algorithm>
#include <cmath>

namespace zemblo::paint {

GdkRGBA rgba(const Color& color, double opacity) {
  return {static_cast<float>(color.r), static_cast<float>(color.g), static_cast<float>(color.b),
          static_cast<float>(std::clamp(opacity, 0.0, 1.0))};
}

GdkRGBA grey(double white, double opacity) { return rgba({white, white, white}, opacity); }

graphene_rect_t rect(double x, double y, double width, double height) {
  graphene_rect_t r;
  graphene_rect_init(&r, static_cast<float>(x), static_cast<float>(y),
                     static_cast<float>(std::max(0.0, width)),
                     static_cast<float>(std::max(0.0, height)));
  return r;
}

GskRoundedRect roundedRect(const graphene_rect_t& bounds, double radius) {
  // A radius larger than half the shorter side would make GSK give up on the rounding.
  const double limit = std::min(bounds.size.width, bounds.size.height) / 2;
  GskRoundedRect rounded;
  gsk_rounded_rect_init_from_rect(&rounded, &bounds,
                                  static_cast<float>(std::clamp(radius, 0.0, limit)));
  return rounded;
}

void appendLinearGradient(GtkSnapshot* snapshot, const graphene_rect_t& bounds, UnitPoint start,
                          UnitPoint end, const std::vector<GdkRGBA>& colors) {
  if (colors.empty()) return;
  if (colors.size() == 1) {
    gtk_snapshot_append_color(snapshot, &colors.front(), &bounds);
    return;
  }
  std::vector<GskColorStop> stops;
  for (size_t i = 0; i < colors.size(); ++i) {
    stops.push_back({static_cast<float>(i) / static_cast<float>(colors.size() - 1), colors[i]});
  }
  const auto at = [&bounds](UnitPoint point) {
    return GRAPHENE_POINT_INIT(static_cast<float>(bounds.origin.x + point.x * bounds.size.width),
                               static_cast<float>(bounds.origin.y + point.y * bounds.size.height));
  };
  graphene_point_t from = at(start);
  graphene_point_t to = at(end);
  if (graphene_point_equal(&from, &to)) to.x += 1;  // GSK needs a direction
  gtk_snapshot_append_linear_gradient(snapshot, &bounds, &from, &to, stops.data(), stops.size());
}

void appendLinearGradient(GtkSnapshot* snapshot, const graphene_rect_t& bounds,
                          const LinearGradient& gradient, double opacity) {
  appendLinearGradient(snapshot, bounds, gradient.startPoint, gradient.endPoint,
                       {rgba(gradient.startColor, opacity), rgba(gradient.endColor, opacity)});
}

void appendRoundedFill(GtkSnapshot* snapshot, const GskRoundedRect& outline, const GdkRGBA& color) {
  gtk_snapshot_push_rounded_clip(snapshot, &outline);
  gtk_snapshot_append_color(snapshot, &color, &outline.bounds);
  gtk_snapshot_pop(snapshot);
}

void appendWithContainedBlur(GtkSnapshot* snapshot, GskRenderer* renderer, int scale,
                             GskRenderNode* node, float reach) {
  if (!node) return;
  if (!renderer || !GSK_IS_CAIRO_RENDERER(renderer)) {
    gtk_snapshot_append_node(snapshot, node);
    gsk_render_node_unref(node);
    return;
  }
  graphene_rect_t bounds;
  gsk_render_node_get_bounds(node, &bounds);
  graphene_rect_inset(&bounds, -reach, -reach);
  // Whole device pixels, so that the texture lands on the pixels the node would have covered.
  const float x = std::floor(bounds.origin.x * scale), y = std::floor(bounds.origin.y * scale);
  const graphene_rect_t pixels =
      rect(x, y, std::ceil((bounds.origin.x + bounds.size.width) * scale) - x,
           std::ceil((bounds.origin.y + bounds.size.height) * scale) - y);
  GskTransform* zoom = gsk_transform_scale(nullptr, float(scale), float(scale));
  GskRenderNode* scaled = zoom ? gsk_transform_node_new(node, zoom) : gsk_render_node_ref(node);
  gsk_transform_unref(zoom);
  GdkTexture* texture = gsk_renderer_render_texture(renderer, scaled, &pixels);
  const graphene_rect_t area = rect(pixels.origin.x / scale, pixels.origin.y / scale,
                                    pixels.size.width / scale, pixels.size.height / scale);
  gtk_snapshot_append_texture(snapshot, texture, &area);
  g_object_unref(texture);
  gsk_render_node_unref(scaled);
  gsk_render_node_unref(node);
}

bool drawnInSoftware(Gtk::Widget& widget) {
  auto* native = widget.get_native();
  return native && GSK_IS_CAIRO_RENDERER(gtk_native_get_renderer(native->gobj()));
}

void appendWithContainedBlur(GtkSnapshot* snapshot, Gtk::Widget& widget, GskRenderNode* node,
                             float reach) {
  auto* native = widget.get_native();
  appendWithContainedBlur(snapshot, native ? gtk_native_get_renderer(native->gobj()) : nullptr,
                          widget.get_scale_factor(), node, reach);
}

void appendInsideBorder(GtkSnapshot* snapshot, const GskRoundedRect& outline, double width,
                        const GdkRGBA& color) {
  const float w = static_cast<float>(width);
  const float widths[4] = {w, w, w, w};
  const GdkRGBA colors[4] = {color, color, color, color};
  gtk_snapshot_append_border(snapshot, &outline, widths, colors);
}

GdkRGBA styleColor(Gtk::Widget& widget, const char* name, const GdkRGBA& fallback) {
  Gdk::RGBA found;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  if (widget.get_style_context()->lookup_color(name, found)) return *found.gobj();
  G_GNUC_END_IGNORE_DEPRECATIONS
  return fallback;
}

GdkRGBA foreground(Gtk::Widget& widget) {
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  return *widget.get_style_context()->get_color().gobj();
  G_GNUC_END_IGNORE_DEPRECATIONS
}

void appendGlass(GtkSnapshot* snapshot, Gtk::Widget& widget, const GskRoundedRect& outline,
                 const Glass& glass, ColorScheme scheme) {
  const bool dark = scheme == ColorScheme::dark;
  const GdkRGBA shadow = grey(0, glass.shadowOpacity);
  gtk_snapshot_append_outset_shadow(snapshot, &outline, &shadow, 0, float(glass.shadowOffset), 0,
                                    float(glass.shadowBlur));
  GdkRGBA fill = styleColor(widget, "window_bg_color", grey(dark ? 0.14 : 0.98));
  fill.alpha = dark ? glass.darkFillOpacity : glass.lightFillOpacity;
  appendRoundedFill(snapshot, outline, fill);
  appendInsideBorder(snapshot, outline, glass.edgeWidth, dark ? glass.darkEdge : glass.lightEdge);
}

}  // namespace zemblo::paint
