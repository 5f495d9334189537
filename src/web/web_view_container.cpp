#include "web/web_view_container.h"

#include "model/browser_tab.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {

WebViewContainer::WebViewContainer() : Gtk::Box(Gtk::Orientation::VERTICAL) {
  set_hexpand(true);
  set_vexpand(true);
}

void WebViewContainer::setTab(const std::shared_ptr<BrowserTab>& tab) {
  tab_ = tab;
  auto* port = tab ? dynamic_cast<WebKitWebViewPort*>(tab->webView()) : nullptr;
  if (!port) {
    removeShownView();
    return;
  }
  Gtk::Widget& view = port->widget();
  if (view.get_parent() == this) return;
  removeShownView();
  // A view shown elsewhere moves here. Its port holds the view, so leaving a parent never
  // destroys it.
  if (Gtk::Widget* parent = view.get_parent()) {
    if (auto* other = dynamic_cast<WebViewContainer*>(parent)) {
      other->tab_.reset();
      other->remove(view);
    } else if (auto* box = dynamic_cast<Gtk::Box*>(parent)) {
      box->remove(view);
    } else {
      view.unparent();
    }
  }
  append(view);
}

void WebViewContainer::removeShownView() {
  while (Gtk::Widget* child = get_first_child()) remove(*child);
}

}  // namespace zemblo
