#include "web/kept_page_frames.h"

#include <algorithm>
#include <cmath>

namespace zemblo {
namespace {

constexpr const char* kFrameKey = "zemblo-kept-frame";

size_t bytesOf(GdkTexture* texture) {
  return texture ? size_t(gdk_texture_get_width(texture)) * gdk_texture_get_height(texture) * 4 : 0;
}

}  // namespace

void KeptPageFrames::keep(GtkWidget* view, GskRenderer* renderer, GskRenderNode* frame, int width,
                          int height) {
  if (!view || !renderer || !frame || width <= 0 || height <= 0) return;
  const graphene_rect_t viewport =
      GRAPHENE_RECT_INIT(0, 0, float(std::ceil(width * kScale)), float(std::ceil(height * kScale)));
  GskTransform* scale = gsk_transform_scale(nullptr, float(kScale), float(kScale));
  GskRenderNode* scaled = gsk_transform_node_new(frame, scale);
  gsk_transform_unref(scale);
  GdkTexture* texture = gsk_renderer_render_texture(renderer, scaled, &viewport);
  gsk_render_node_unref(scaled);
  if (!texture) {
    g_warning("A page's last frame could not be kept: its rendering made no texture");
    return;
  }
  g_object_set_data_full(G_OBJECT(view), kFrameKey, texture, g_object_unref);
  views_.remove_if([&](const std::unique_ptr<WeakView>& kept) {
    GtkWidget* other = kept->take();
    if (other) g_object_unref(other);
    return !other || other == view;
  });
  views_.push_front(std::make_unique<WeakView>(view));
  trim();
}

GdkTexture* KeptPageFrames::frameOf(GtkWidget* view) {
  return view ? static_cast<GdkTexture*>(g_object_get_data(G_OBJECT(view), kFrameKey)) : nullptr;
}

void KeptPageFrames::trim() {
  size_t bytes = 0;
  for (auto it = views_.begin(); it != views_.end();) {
    GtkWidget* view = (*it)->take();
    const size_t size = view ? bytesOf(frameOf(view)) : 0;
    const bool fits = size > 0 && bytes + size <= kBudgetBytes;
    if (fits) bytes += size;
    if (view && !fits) g_object_set_data(G_OBJECT(view), kFrameKey, nullptr);
    if (view) g_object_unref(view);
    it = fits ? std::next(it) : views_.erase(it);
  }
}

}  // namespace zemblo
