#pragma once

#include <gtkmm.h>

#include <memory>

namespace zemblo {

class BrowserTab;

// Shows one tab's web view, filling the container. The view belongs to its tab: switching tabs
// moves views in and out of the container (a tab that is not shown keeps its page, scroll
// position and history), and a view is never in two places at once.
class WebViewContainer : public Gtk::Box {
 public:
  WebViewContainer();

  // Shows the tab's web view, creating it if the tab has none yet; nothing for no tab (or a tab
  // that cannot make a web view). Showing the tab already shown changes nothing.
  void setTab(const std::shared_ptr<BrowserTab>& tab);
  std::shared_ptr<BrowserTab> tab() const { return tab_.lock(); }

 private:
  void removeShownView();

  std::weak_ptr<BrowserTab> tab_;
};

// Takes a web view out of the widget it sits in, if any, moving the keyboard focus off it first:
// GTK would only do that on a later turn of the main loop, and a key that came before then would
// go to the removed view and be lost (the second of two quick Ctrl+W).
void detachWebView(GtkWidget* view);

}  // namespace zemblo
