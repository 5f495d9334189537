#include "widgets/paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/rendered_pixels.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

// A shadowed shape at a fractional place, as the settings' arrows draw them.
GskRenderNode* shadowedDisc() {
  GtkSnapshot* snapshot = gtk_snapshot_new();
  const GskShadow shadow{paint::grey(0, 0.35), 0, 1, 3};
  gtk_snapshot_push_shadow(snapshot, &shadow, 1);
  paint::appendRoundedFill(snapshot, paint::roundedRect(paint::rect(10.5, 8.25, 14, 14), 7),
                           paint::grey(1));
  gtk_snapshot_pop(snapshot);
  return gtk_snapshot_free_to_node(snapshot);
}

std::vector<guchar> rendered(GskRenderer* renderer, GskRenderNode* node, int size) {
  return testing::renderedPixels(renderer, node, size, size);
}

int largestDifference(const std::vector<guchar>& a, const std::vector<guchar>& b) {
  if (a.size() != b.size()) return 256;
  int largest = 0;
  for (size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}

TEST(PaintTest, ContainedBlurDrawsWhatTheNodeDrawsAtEveryScale) {
  testing::initializeGtk();
  GskRenderer* renderer = gsk_cairo_renderer_new();
  ASSERT_TRUE(gsk_renderer_realize(renderer, nullptr, nullptr));
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    // Drawn at the scale, the way a window of that scale draws it.
    auto atScale = [&](GskRenderNode* node) {
      GskTransform* zoom = gsk_transform_scale(nullptr, float(scale), float(scale));
      GskRenderNode* drawn = zoom ? gsk_transform_node_new(node, zoom) : gsk_render_node_ref(node);
      gsk_transform_unref(zoom);
      gsk_render_node_unref(node);
      return drawn;
    };
    GskRenderNode* direct = atScale(shadowedDisc());
    GtkSnapshot* snapshot = gtk_snapshot_new();
    paint::appendWithContainedBlur(snapshot, renderer, scale, shadowedDisc(), 9);
    GskRenderNode* contained = gtk_snapshot_free_to_node(snapshot);
    EXPECT_EQ(gsk_render_node_get_node_type(contained), GSK_TEXTURE_NODE);
    GskRenderNode* containedAtScale = atScale(gsk_render_node_ref(contained));
    // Exact at scale 1; at scale 2 the blur rounds apart by at most one step.
    EXPECT_LE(largestDifference(rendered(renderer, containedAtScale, 40 * scale),
                                rendered(renderer, direct, 40 * scale)),
              scale == 1 ? 0 : 1);
    gsk_render_node_unref(direct);
    gsk_render_node_unref(containedAtScale);
    gsk_render_node_unref(contained);
  }
  gsk_renderer_unrealize(renderer);
  g_object_unref(renderer);
}

}  // namespace
}  // namespace zemblo
