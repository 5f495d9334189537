#include "widgets/symbol_paint.h"

#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

Glib::RefPtr<Gtk::IconPaintable> iconFor(Gtk::Widget& widget, std::string_view symbol,
                                         int pixelSize) {
  const auto theme = Gtk::IconTheme::get_for_display(widget.get_display());
  return theme->lookup_icon(symbolIconName(symbol), pixelSize, widget.get_scale_factor(),
                            Gtk::TextDirection::NONE, Gtk::IconLookupFlags::FORCE_SYMBOLIC);
}

void snapshotSymbolic(GtkSnapshot* snapshot, const Glib::RefPtr<Gtk::IconPaintable>& icon,
                      int pixelSize, const GdkRGBA& color) {
  // Foreground, error, warning and success colours; our symbols only use the first.
  const GdkRGBA colors[4] = {color, color, color, color};
  gtk_symbolic_paintable_snapshot_symbolic(GTK_SYMBOLIC_PAINTABLE(icon->gobj()), snapshot,
                                           pixelSize, pixelSize, colors, 4);
}

}  // namespace

void appendSymbol(GtkSnapshot* snapshot, Gtk::Widget& widget, std::string_view symbol,
                  int pixelSize, const graphene_rect_t& box, const GdkRGBA& color) {
  const auto icon = iconFor(widget, symbol, pixelSize);
  if (!icon) return;
  gtk_snapshot_save(snapshot);
  gtk_snapshot_translate(snapshot, &box.origin);
  snapshotSymbolic(snapshot, icon, pixelSize, color);
  gtk_snapshot_restore(snapshot);
}

void appendGradientSymbol(GtkSnapshot* snapshot, Gtk::Widget& widget, std::string_view symbol,
                          int pixelSize, const graphene_rect_t& box,
                          const LinearGradient& gradient) {
  const auto icon = iconFor(widget, symbol, pixelSize);
  if (!icon) return;
  // GTK 4.8 has no mask node: the symbol is drawn in white into a cairo group that then masks
  // the gradient.
  GtkSnapshot* shape = gtk_snapshot_new();
  snapshotSymbolic(shape, icon, pixelSize, GdkRGBA{1, 1, 1, 1});
  GskRenderNode* node = gtk_snapshot_free_to_node(shape);
  if (!node) return;
  cairo_t* cr = gtk_snapshot_append_cairo(snapshot, &box);
  cairo_push_group(cr);
  cairo_translate(cr, box.origin.x, box.origin.y);
  gsk_render_node_draw(node, cr);
  cairo_pattern_t* mask = cairo_pop_group(cr);
  const double x = box.origin.x, y = box.origin.y, w = box.size.width, h = box.size.height;
  cairo_pattern_t* fill =
      cairo_pattern_create_linear(x + gradient.startPoint.x * w, y + gradient.startPoint.y * h,
                                  x + gradient.endPoint.x * w, y + gradient.endPoint.y * h);
  cairo_pattern_add_color_stop_rgb(fill, 0, gradient.startColor.r, gradient.startColor.g,
                                   gradient.startColor.b);
  cairo_pattern_add_color_stop_rgb(fill, 1, gradient.endColor.r, gradient.endColor.g,
                                   gradient.endColor.b);
  cairo_set_source(cr, fill);
  cairo_mask(cr, mask);
  cairo_pattern_destroy(fill);
  cairo_pattern_destroy(mask);
  cairo_destroy(cr);
  gsk_render_node_unref(node);
}

GradientSymbol::GradientSymbol(std::string symbol, int pixelSize)
    : symbol_(std::move(symbol)), pixelSize_(pixelSize) {
  set_name("GradientSymbol");
  presentAsDecoration(*this);
  set_can_target(false);
}

void GradientSymbol::setGradient(const LinearGradient& gradient) {
  if (gradient == gradient_) return;
  gradient_ = gradient;
  queue_draw();
}

void GradientSymbol::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                   int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = pixelSize_;
  minimum_baseline = natural_baseline = -1;
}

void GradientSymbol::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  graphene_rect_t box;
  graphene_rect_init(&box, (get_width() - pixelSize_) / 2.0f, (get_height() - pixelSize_) / 2.0f,
                     static_cast<float>(pixelSize_), static_cast<float>(pixelSize_));
  appendGradientSymbol(snapshot->gobj(), *this, symbol_, pixelSize_, box, gradient_);
}

}  // namespace zemblo
