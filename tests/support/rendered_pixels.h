#pragma once

#include <gtk/gtk.h>

#include <vector>

namespace zemblo::testing {

// The bytes `renderer` gives for the top-left `width` × `height` of `node`.
inline std::vector<guchar> renderedPixels(GskRenderer* renderer, GskRenderNode* node, int width,
                                          int height) {
  const graphene_rect_t area = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
  GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &area);
  std::vector<guchar> pixels(size_t(width * height * 4));
  gdk_texture_download(texture, pixels.data(), size_t(width * 4));
  g_object_unref(texture);
  return pixels;
}

}  // namespace zemblo::testing
