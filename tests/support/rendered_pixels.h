#pragma once

#include <gtk/gtk.h>

#include <chrono>
#include <vector>

#include "support/wait.h"

namespace zemblo::testing {

// What `widget` drew at its last frame, scaled to `width` × `height`; nullptr if it drew nothing
// within `timeout`. A widget whose drawing was invalidated has no picture until its next frame,
// and under load that frame may not have come yet however recently the test waited for one, so
// this waits for the picture itself.
inline GskRenderNode* drawnNodeOf(GtkWidget* widget, int width, int height,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  GskRenderNode* node = nullptr;
  waitUntil(
      [&] {
        GdkPaintable* paintable = gtk_widget_paintable_new(widget);
        GtkSnapshot* snapshot = gtk_snapshot_new();
        gdk_paintable_snapshot(paintable, snapshot, width, height);
        node = gtk_snapshot_free_to_node(snapshot);
        g_object_unref(paintable);
        return node != nullptr;
      },
      timeout);
  return node;
}

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
