#include "widgets/drawing_cache.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/rendered_pixels.h"
#include "support/wait.h"
#include "web/web_harness.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

constexpr int kWidth = 120, kHeight = 80;

// A tint as the window's background has it: an opaque base under a translucent gradient.
void drawTint(GtkSnapshot* snapshot, double opacity) {
  const graphene_rect_t bounds = paint::rect(0, 0, kWidth, kHeight);
  const GdkRGBA base = paint::grey(0.9);
  gtk_snapshot_append_color(snapshot, &base, &bounds);
  paint::appendLinearGradient(snapshot, bounds, {0, 0}, {1, 1},
                              {paint::rgba(Color::fromHex("#7B61FF"), opacity),
                               paint::rgba(Color::fromHex("#FF6FB5"), opacity)});
}

std::vector<guchar> pixels(GskRenderer* renderer, GskRenderNode* node) {
  return testing::renderedPixels(renderer, node, kWidth, kHeight);
}

TEST(DrawingCacheTest, KeepsTheSettledDrawingsPixelsInOneNodeUntilItChanges) {
  testing::initializeGtk();
  Gtk::Window window;
  Gtk::Box area;
  window.set_child(area);
  window.set_default_size(kWidth, kHeight);
  window.present();
  ASSERT_TRUE(testing::waitUntil([&] { return area.get_mapped(); }));
  ASSERT_TRUE(paint::drawnInSoftware(area));
  GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(window.gobj()));

  DrawingCache cache;
  const auto appended = [&](double opacity) {
    GtkSnapshot* snapshot = gtk_snapshot_new();
    cache.append(snapshot, area, paint::rect(0, 0, kWidth, kHeight), std::to_string(opacity),
                 [opacity](GtkSnapshot* inner) { drawTint(inner, opacity); });
    return gtk_snapshot_free_to_node(snapshot);
  };
  // A new drawing goes as it is, the same node while it waits to settle.
  GskRenderNode* fresh = appended(0.5);
  GskRenderNode* waiting = appended(0.5);
  EXPECT_NE(gsk_render_node_get_node_type(fresh), GSK_CAIRO_NODE);
  EXPECT_EQ(fresh, waiting);
  // Settled, its pixels are kept, and one node in which the toolkit finds nothing to repaint
  // paints them: the very pixels of the drawing.
  ASSERT_TRUE(testing::waitUntil([&] {
    GskRenderNode* node = appended(0.5);
    const bool keptPixels = gsk_render_node_get_node_type(node) == GSK_CAIRO_NODE;
    gsk_render_node_unref(node);
    return keptPixels;
  }));
  GskRenderNode* kept = appended(0.5);
  GskRenderNode* again = appended(0.5);
  EXPECT_EQ(gsk_render_node_get_node_type(kept), GSK_CAIRO_NODE);
  EXPECT_EQ(kept, again);
  EXPECT_EQ(pixels(renderer, kept), pixels(renderer, fresh));
  // A change is drawn as it is again.
  GskRenderNode* changed = appended(0.6);
  EXPECT_NE(gsk_render_node_get_node_type(changed), GSK_CAIRO_NODE);

  for (GskRenderNode* node : {fresh, waiting, kept, again, changed}) {
    gsk_render_node_unref(node);
  }
}

}  // namespace
}  // namespace zemblo
