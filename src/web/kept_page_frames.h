#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <list>
#include <memory>

namespace zemblo {

// The last frame each recently shown page painted, so that the page can be seen again at once
// without its web view: the engine repaints a view put back into a window in full before it shows
// anything, tens of milliseconds on a machine that renders on the CPU. A frame is kept on the web
// view it came from, so it goes with the view (a closed tab, a tab put to sleep, a memory warning);
// frames are kept at half their width and height, the older ones at a quarter, and only the newest
// that fit in a fixed budget.
class KeptPageFrames {
 public:
  static constexpr double kScale = 0.5;
  // A dozen frames of a page filling a 1920 × 1080 screen at half size; those before them are
  // halved again rather than dropped: a page passed over in a moment shows blurred, not blank.
  static constexpr size_t kSharpBytes = size_t(16) << 20;
  // With the older frames at a quarter, about a hundred pages of a 1920 × 1080 screen.
  static constexpr size_t kBudgetBytes = size_t(48) << 20;

  KeptPageFrames() = default;
  KeptPageFrames(const KeptPageFrames&) = delete;
  KeptPageFrames& operator=(const KeptPageFrames&) = delete;

  // Keeps what `view` painted last, `frame` of `width` × `height`, in place of an earlier frame
  // of it. Kept as a surface of the drawing library rather than a texture: the toolkit converts a
  // texture's every pixel each time it draws it without the GPU.
  void keep(GtkWidget* view, GskRenderNode* frame, int width, int height);
  // The frame kept for the view; null when there is none. Owned by the view.
  static cairo_surface_t* frameOf(GtkWidget* view);
  // Whether the view's frame was kept at `width` × `height`, the size the engine painted it at.
  static bool keptAtSize(GtkWidget* view, int width, int height);
  // Drops every frame kept: they only save a repaint, which memory short for the system is
  // worth more than.
  void dropAll();

 private:
  // A view that may go away at any time; it clears itself when it does.
  class WeakView {
   public:
    explicit WeakView(GtkWidget* view) { g_weak_ref_init(&ref_, view); }
    ~WeakView() { g_weak_ref_clear(&ref_); }
    WeakView(const WeakView&) = delete;
    WeakView& operator=(const WeakView&) = delete;
    // A strong reference, or null once the view has gone.
    GtkWidget* take() { return static_cast<GtkWidget*>(g_weak_ref_get(&ref_)); }

   private:
    GWeakRef ref_;
  };

  // Drops the frames of views gone, halves those beyond the sharp ones, and drops the oldest ones
  // beyond the budget.
  void trim();
  static void drop(GtkWidget* view);
  static void store(GtkWidget* view, cairo_surface_t* frame);
  // Whether the view's frame is still at the size it was kept at first.
  static bool sharp(GtkWidget* view);
  static void halve(GtkWidget* view);

  // Newest first.
  std::list<std::unique_ptr<WeakView>> views_;
};

}  // namespace zemblo
