#include "widgets/drawing_cache.h"

#include <cmath>

#include "widgets/paint.h"

namespace zemblo {

void DrawingCache::append(GtkSnapshot* snapshot, Gtk::Widget& widget, const graphene_rect_t& bounds,
                          const std::string& key, const std::function<void(GtkSnapshot*)>& draw) {
  const int scale = widget.get_scale_factor();
  // Pixels land on whole device pixels only from a whole-pixel origin; anywhere else, and on
  // the graphics card, the drawing goes as it is.
  const bool wholePixels = std::floor(bounds.origin.x * scale) == bounds.origin.x * scale &&
                           std::floor(bounds.origin.y * scale) == bounds.origin.y * scale;
  if (!paint::drawnInSoftware(widget) || !wholePixels || bounds.size.width <= 0 ||
      bounds.size.height <= 0) {
    clear();
    draw(snapshot);
    return;
  }
  const bool same = key == key_ && scale == scale_ && graphene_rect_equal(&bounds, &bounds_);
  if (same && kept_) {
    gtk_snapshot_append_node(snapshot, kept_.get());
    return;
  }
  if (!same || !drawn_) {
    kept_.reset();
    key_ = key;
    bounds_ = bounds;
    scale_ = scale;
    GtkSnapshot* inner = gtk_snapshot_new();
    draw(inner);
    drawn_.reset(gtk_snapshot_free_to_node(inner));
    settle_.disconnect();
    settle_ = Glib::signal_timeout().connect(
        [this, &widget] {
          keep(widget);
          return false;
        },
        kSettleTime.count());
  }
  if (drawn_) gtk_snapshot_append_node(snapshot, drawn_.get());
}

void DrawingCache::keep(Gtk::Widget& widget) {
  Node drawing = std::move(drawn_);
  if (!drawing) return;
  cairo_surface_t* pixels =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::ceil(bounds_.size.width * scale_)),
                                 int(std::ceil(bounds_.size.height * scale_)));
  if (cairo_surface_status(pixels) != CAIRO_STATUS_SUCCESS) {
    g_warning("no memory for a drawing of %.0f × %.0f kept as pixels", bounds_.size.width,
              bounds_.size.height);
    cairo_surface_destroy(pixels);
    drawn_ = std::move(drawing);
    return;
  }
  cairo_surface_set_device_scale(pixels, scale_, scale_);
  cairo_t* cr = cairo_create(pixels);
  cairo_translate(cr, -bounds_.origin.x, -bounds_.origin.y);
  gsk_render_node_draw(drawing.get(), cr);
  cairo_destroy(cr);
  cairo_surface_flush(pixels);
  // The node records a paint of the pixels, which it keeps once they are released here.
  Node node(gsk_cairo_node_new(&bounds_));
  cr = gsk_cairo_node_get_draw_context(node.get());
  cairo_set_source_surface(cr, pixels, bounds_.origin.x, bounds_.origin.y);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(pixels);
  kept_ = std::move(node);
  widget.queue_draw();
}

DrawingCache::~DrawingCache() { settle_.disconnect(); }

void DrawingCache::clear() {
  settle_.disconnect();
  kept_.reset();
  drawn_.reset();
  key_.clear();
  scale_ = 0;
}

}  // namespace zemblo
