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
  if (!same) {
    node_.reset();
    key_ = key;
    bounds_ = bounds;
    scale_ = scale;
    // A drawing that changes on every frame, as in the middle of an animation, would be drawn
    // twice for each: while it changes it is drawn as it is, and once it has settled the widget
    // is drawn again so that the pixels are kept. The toolkit reuses a widget's drawing until
    // the widget asks for another.
    if (changing_) {
      settle_.disconnect();
      settle_ = Glib::signal_idle().connect(
          [&widget] {
            widget.queue_draw();
            return false;
          },
          Glib::PRIORITY_LOW);
      draw(snapshot);
      return;
    }
    changing_ = true;
  } else {
    changing_ = false;
  }
  if (!node_) render(bounds, scale, draw);
  if (!node_) {
    draw(snapshot);
    return;
  }
  gtk_snapshot_append_node(snapshot, node_.get());
}

void DrawingCache::render(const graphene_rect_t& bounds, int scale,
                          const std::function<void(GtkSnapshot*)>& draw) {
  GtkSnapshot* inner = gtk_snapshot_new();
  draw(inner);
  std::unique_ptr<GskRenderNode, NodeRelease> drawing(gtk_snapshot_free_to_node(inner));
  if (!drawing) return;
  cairo_surface_t* pixels =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::ceil(bounds.size.width * scale)),
                                 int(std::ceil(bounds.size.height * scale)));
  if (cairo_surface_status(pixels) != CAIRO_STATUS_SUCCESS) {
    g_warning("no memory for a drawing of %.0f × %.0f kept as pixels", bounds.size.width,
              bounds.size.height);
    cairo_surface_destroy(pixels);
    return;
  }
  cairo_surface_set_device_scale(pixels, scale, scale);
  cairo_t* cr = cairo_create(pixels);
  cairo_translate(cr, -bounds.origin.x, -bounds.origin.y);
  gsk_render_node_draw(drawing.get(), cr);
  cairo_destroy(cr);
  cairo_surface_flush(pixels);
  // The node records a paint of the pixels, which it keeps once they are released here.
  std::unique_ptr<GskRenderNode, NodeRelease> node(gsk_cairo_node_new(&bounds));
  cr = gsk_cairo_node_get_draw_context(node.get());
  cairo_set_source_surface(cr, pixels, bounds.origin.x, bounds.origin.y);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(pixels);
  node_ = std::move(node);
}

DrawingCache::~DrawingCache() { settle_.disconnect(); }

void DrawingCache::clear() {
  node_.reset();
  key_.clear();
  scale_ = 0;
}

}  // namespace zemblo
