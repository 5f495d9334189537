#pragma once

#include <gtkmm.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "support/rendered_pixels.h"
#include "widgets/letter_icon.h"
#include "widgets/paint.h"

// What a view drew, compared with what it should show.
namespace zemblo::testing {

// Whether the view drew the letter tile of `text` in its centred square, pixel for pixel: the
// tile a site without a picture shows, its colour and letter taken from the name.
inline bool showsLetterTile(Gtk::Widget& view, std::string_view text) {
  const int width = view.get_width(), height = view.get_height();
  if (width <= 0 || height <= 0) return false;
  GskRenderNode* shown = drawnNodeOf(view.gobj(), width, height);
  if (!shown) return false;
  const double side = std::min(width, height);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  LetterIcon::paint(view, snapshot,
                    paint::rect((width - side) / 2, (height - side) / 2, side, side), text);
  GskRenderNode* tile = gtk_snapshot_free_to_node(snapshot);
  GskRenderer* renderer = gtk_native_get_renderer(view.get_native()->gobj());
  const bool same = renderedPixels(renderer, shown, width, height) ==
                    renderedPixels(renderer, tile, width, height);
  gsk_render_node_unref(shown);
  gsk_render_node_unref(tile);
  return same;
}

// What the widget drew at its last frame, as text: any change of the drawing changes it.
inline std::string drawingOf(Gtk::Widget& widget) {
  GskRenderNode* node = drawnNodeOf(widget.gobj(), widget.get_width(), widget.get_height());
  if (!node) return {};
  GBytes* bytes = gsk_render_node_serialize(node);
  std::string text(static_cast<const char*>(g_bytes_get_data(bytes, nullptr)),
                   g_bytes_get_size(bytes));
  g_bytes_unref(bytes);
  gsk_render_node_unref(node);
  return text;
}

}  // namespace zemblo::testing
