#pragma once

#include <gtk/gtk.h>
#include <gtkmm.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace zemblo {

// A large drawing that rarely changes, such as a window-wide gradient, kept as pixels for the
// software renderer: it recomputes every gradient and blend of a repainted area on each frame,
// where copying the pixels drawn once costs a fraction of that. The pixels are drawn by the same
// renderer at the same device pixels, so they are the ones a fresh drawing would give. The same
// node is handed out while the drawing stays the same, so the toolkit, which compares the nodes
// of consecutive frames, finds nothing to repaint in it. Under a renderer of the graphics card,
// which keeps its own textures, the drawing is appended as it is.
class DrawingCache {
 public:
  // How long a drawing stays the same before its pixels are kept: one that changes on every
  // frame, as in an animation, would otherwise be drawn twice for each.
  static constexpr std::chrono::milliseconds kSettleTime{150};

  DrawingCache() = default;
  DrawingCache(const DrawingCache&) = delete;
  DrawingCache& operator=(const DrawingCache&) = delete;
  ~DrawingCache();

  // Appends what `draw` snapshots within `bounds` of `widget`, which it must outlive. `key`
  // names everything the drawing depends on: a new key, bounds or scale is drawn as it is, and
  // once it has settled its pixels are kept and the widget is drawn again with them.
  void append(GtkSnapshot* snapshot, Gtk::Widget& widget, const graphene_rect_t& bounds,
              const std::string& key, const std::function<void(GtkSnapshot*)>& draw);

  void clear();

 private:
  struct NodeRelease {
    void operator()(GskRenderNode* node) const { gsk_render_node_unref(node); }
  };
  using Node = std::unique_ptr<GskRenderNode, NodeRelease>;

  void keep(Gtk::Widget& widget);

  Node kept_;   // paints the pixels
  Node drawn_;  // the drawing as it is, waiting to settle
  std::string key_;
  graphene_rect_t bounds_{};
  int scale_ = 0;
  sigc::connection settle_;
};

}  // namespace zemblo
