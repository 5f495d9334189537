#include "web/kept_page_frames.h"

#include <cmath>

namespace zemblo {
namespace {

constexpr const char* kFrameKey = "zemblo-kept-frame";
constexpr const char* kWidthKey = "zemblo-kept-frame-width";
constexpr const char* kHeightKey = "zemblo-kept-frame-height";

size_t bytesOf(cairo_surface_t* frame) {
  return frame ? size_t(cairo_image_surface_get_stride(frame)) *
                     size_t(cairo_image_surface_get_height(frame))
               : 0;
}

}  // namespace

void KeptPageFrames::keep(GtkWidget* view, GskRenderNode* frame, int width, int height) {
  if (!view || !frame || width <= 0 || height <= 0) return;
  cairo_surface_t* kept = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, int(std::ceil(width * kScale)), int(std::ceil(height * kScale)));
  if (cairo_surface_status(kept) != CAIRO_STATUS_SUCCESS) {
    g_warning("A page's last frame could not be kept: %s",
              cairo_status_to_string(cairo_surface_status(kept)));
    cairo_surface_destroy(kept);
    return;
  }
  cairo_t* cr = cairo_create(kept);
  cairo_scale(cr, kScale, kScale);
  gsk_render_node_draw(frame, cr);
  cairo_destroy(cr);
  store(view, kept);
  g_object_set_data(G_OBJECT(view), kWidthKey, GINT_TO_POINTER(width));
  g_object_set_data(G_OBJECT(view), kHeightKey, GINT_TO_POINTER(height));
  views_.remove_if([&](const std::unique_ptr<WeakView>& entry) {
    GtkWidget* other = entry->take();
    if (other) g_object_unref(other);
    return !other || other == view;
  });
  views_.push_front(std::make_unique<WeakView>(view));
  trim();
}

cairo_surface_t* KeptPageFrames::frameOf(GtkWidget* view) {
  return view ? static_cast<cairo_surface_t*>(g_object_get_data(G_OBJECT(view), kFrameKey))
              : nullptr;
}

bool KeptPageFrames::keptAtSize(GtkWidget* view, int width, int height) {
  return frameOf(view) && GPOINTER_TO_INT(g_object_get_data(G_OBJECT(view), kWidthKey)) == width &&
         GPOINTER_TO_INT(g_object_get_data(G_OBJECT(view), kHeightKey)) == height;
}

void KeptPageFrames::store(GtkWidget* view, cairo_surface_t* frame) {
  g_object_set_data_full(G_OBJECT(view), kFrameKey, frame,
                         reinterpret_cast<GDestroyNotify>(cairo_surface_destroy));
}

bool KeptPageFrames::sharp(GtkWidget* view) {
  const int width = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(view), kWidthKey));
  return cairo_image_surface_get_width(frameOf(view)) == int(std::ceil(width * kScale));
}

void KeptPageFrames::halve(GtkWidget* view) {
  cairo_surface_t* frame = frameOf(view);
  const int width = cairo_image_surface_get_width(frame);
  const int height = cairo_image_surface_get_height(frame);
  cairo_surface_t* halved =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, (width + 1) / 2, (height + 1) / 2);
  if (cairo_surface_status(halved) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(halved);
    drop(view);
    return;
  }
  cairo_t* cr = cairo_create(halved);
  cairo_scale(cr, 0.5, 0.5);
  cairo_set_source_surface(cr, frame, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  store(view, halved);
}

void KeptPageFrames::drop(GtkWidget* view) {
  g_object_set_data(G_OBJECT(view), kFrameKey, nullptr);
  g_object_set_data(G_OBJECT(view), kWidthKey, nullptr);
  g_object_set_data(G_OBJECT(view), kHeightKey, nullptr);
}

void KeptPageFrames::dropAll() {
  for (const auto& entry : views_) {
    if (GtkWidget* view = entry->take()) {
      drop(view);
      g_object_unref(view);
    }
  }
  views_.clear();
}

void KeptPageFrames::trim() {
  size_t bytes = 0;
  for (auto it = views_.begin(); it != views_.end();) {
    GtkWidget* view = (*it)->take();
    if (view && frameOf(view) && bytes + bytesOf(frameOf(view)) > kSharpBytes && sharp(view)) {
      halve(view);
    }
    const size_t size = view ? bytesOf(frameOf(view)) : 0;
    const bool fits = size > 0 && bytes + size <= kBudgetBytes;
    if (fits) bytes += size;
    if (view && !fits) drop(view);
    if (view) g_object_unref(view);
    it = fits ? std::next(it) : views_.erase(it);
  }
}

}  // namespace zemblo
