#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>

#include "platform/memory_pressure.h"
#include "web/kept_page_frames.h"

namespace zemblo {

class BrowserTab;

// Shows one tab's web view, filling the container. The view belongs to its tab: switching tabs
// moves views in and out of the container (a tab that is not shown keeps its page, scroll
// position and history), and a view is never in two places at once. Instead of its view, a tab
// can show the last frame its page painted here, which costs no repaint by the engine.
class WebViewContainer : public Gtk::Box {
 public:
  WebViewContainer();
  ~WebViewContainer() override;

  // Shows the tab's web view, creating it if the tab has none yet; nothing for no tab (or a tab
  // that cannot make a web view). Showing the tab already shown changes nothing.
  void setTab(const std::shared_ptr<BrowserTab>& tab);
  std::shared_ptr<BrowserTab> tab() const { return tab_.lock(); }
  // Shows the last frame the tab's page painted here, without its view and without making one;
  // nothing when its page painted none that is still kept.
  void showKeptFrame(const std::shared_ptr<BrowserTab>& tab);
  // Drops the frames kept here on each of the system's memory warnings.
  void dropKeptFramesOn(MemoryPressure& pressure);
  // Names the menu the engine opens on a page shown here, once it holds its items: the engine
  // makes a new one for each right-click, which screen readers would read by its type.
  void namePageMenusWith(std::function<void(Gtk::PopoverMenu&)> name);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  struct NodeUnref {
    void operator()(GskRenderNode* node) const { gsk_render_node_unref(node); }
  };
  using Node = std::unique_ptr<GskRenderNode, NodeUnref>;
  struct SurfaceUnref {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  using Surface = std::unique_ptr<cairo_surface_t, SurfaceUnref>;

  void removeShownView();
  void followPageMenus(GtkWidget* view);
  void appendFrame(const Glib::RefPtr<Gtk::Snapshot>& snapshot, cairo_surface_t* frame);
  // Whether `drawing`, what the view put back here drew, is still the engine's last frame from
  // before, painted at another size than the view has now.
  bool awaitsRepaint(const Node& drawing);

  std::weak_ptr<BrowserTab> tab_;
  KeptPageFrames keptFrames_;
  // What the shown view painted last, kept when the view leaves.
  Node lastFrame_;
  // The frame shown instead of a view.
  Surface shownFrame_;
  // A view put back here shows the engine's own last frame at once, but only as large as it was
  // painted: on a card of another size (the sidebar hidden or the window resized meanwhile) the
  // rest stays empty until the engine has painted the page again. Until it has, the view's kept
  // frame, stretched to the card, stands in; the engine's old drawing tells its new one apart.
  bool awaitingRepaint_ = false;
  Node staleDrawing_;
  sigc::connection pressure_;
  std::function<void(Gtk::PopoverMenu&)> namePageMenu_;
  // The shown view, followed for its page menus. Its port may end it while it is still here (a
  // tab closed or put to sleep takes its view out itself), so it is held weakly.
  GWeakRef pageMenuView_;
  gulong pageMenuHandler_ = 0;
};

// Takes a web view out of the widget it sits in, if any, closing the page's menu and moving the
// keyboard focus off it first: GTK would only do that on a later turn of the main loop, and a key
// that came before then would go to the removed view and be lost (the second of two quick Ctrl+W).
void detachWebView(GtkWidget* view);

}  // namespace zemblo
