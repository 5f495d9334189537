#pragma once

#include <vector>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "model/color.h"

// Small drawing helpers over GTK's render nodes, shared by the views that paint themselves.
namespace zemblo::paint {

GdkRGBA rgba(const Color& color, double opacity = 1);
GdkRGBA grey(double white, double opacity = 1);

graphene_rect_t rect(double x, double y, double width, double height);
GskRoundedRect roundedRect(const graphene_rect_t& bounds, double radius);

// A linear gradient across `bounds` between two points given in unit coordinates of the bounds;
// the colours are spread evenly from the start to the end.
void appendLinearGradient(GtkSnapshot* snapshot, const graphene_rect_t& bounds, UnitPoint start,
                          UnitPoint end, const std::vector<GdkRGBA>& colors);
void appendLinearGradient(GtkSnapshot* snapshot, const graphene_rect_t& bounds,
                          const LinearGradient& gradient, double opacity = 1);

// `outline` filled with one colour.
void appendRoundedFill(GtkSnapshot* snapshot, const GskRoundedRect& outline, const GdkRGBA& color);

// A line of `width` drawn along the inside of the outline.
void appendInsideBorder(GtkSnapshot* snapshot, const GskRoundedRect& outline, double width,
                        const GdkRGBA& color);

// Whether `widget` is drawn by GTK's software (cairo) renderer.
bool drawnInSoftware(Gtk::Widget& widget);

// Appends `node`, taking it over. GTK's software renderer blurs a shadow of drawn content across
// the whole window on every redraw; with that renderer (`renderer`, drawing at `scale`) the node
// is first drawn into a texture of its own size, so that the blur covers only the node. `reach`:
// how far past the node's bounds its blur still paints (three times its radius).
void appendWithContainedBlur(GtkSnapshot* snapshot, GskRenderer* renderer, int scale,
                             GskRenderNode* node, float reach);
// The same, for a node drawn by `widget`.
void appendWithContainedBlur(GtkSnapshot* snapshot, Gtk::Widget& widget, GskRenderNode* node,
                             float reach);

// A named colour of the current style (for example "window_bg_color"), or `fallback`.
GdkRGBA styleColor(Gtk::Widget& widget, const char* name, const GdkRGBA& fallback);
// The widget's own foreground colour from its style.
GdkRGBA foreground(Gtk::Widget& widget);

// A floating surface of glass as the toolkit can draw it, without a blurring backdrop: a nearly
// opaque fill of the window colour, a faint edge, and a shadow that lifts it off the page.
struct Glass {
  double shadowOpacity = 0;
  double shadowOffset = 0;
  double shadowBlur = 0;
  float lightFillOpacity = 0;
  float darkFillOpacity = 0;
  double edgeWidth = 0;
  GdkRGBA lightEdge{};
  GdkRGBA darkEdge{};
};
void appendGlass(GtkSnapshot* snapshot, Gtk::Widget& widget, const GskRoundedRect& outline,
                 const Glass& glass, ColorScheme scheme);

}  // namespace zemblo::paint
