#include "web/web_view_container.h"

#include "model/browser_tab.h"
#include "model/localization.h"
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
  // Announced as the page it holds, not by the engine's type name; what the page says is the
  // engine's own tree below it.
  const std::string name = localized("Sayfa içeriği");
  gtk_accessible_update_property(GTK_ACCESSIBLE(view.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 name.c_str(), -1);
  if (view.get_parent() == this) return;
  removeShownView();
  // A view shown elsewhere moves here. Its port holds the view, so leaving a parent never
  // destroys it.
  if (auto* other = dynamic_cast<WebViewContainer*>(view.get_parent())) other->tab_.reset();
  detachWebView(view.gobj());
  append(view);
}

void WebViewContainer::removeShownView() {
  while (Gtk::Widget* child = get_first_child()) detachWebView(child->gobj());
}

void detachWebView(GtkWidget* view) {
  GtkWidget* parent = gtk_widget_get_parent(view);
  if (!parent) return;
  if (GtkRoot* root = gtk_widget_get_root(view)) {
    GtkWidget* focus = gtk_root_get_focus(root);
    if (focus && (focus == view || gtk_widget_is_ancestor(focus, view))) {
      gtk_root_set_focus(root, nullptr);
    }
  }
  if (GTK_IS_BOX(parent)) {
    gtk_box_remove(GTK_BOX(parent), view);
  } else {
    gtk_widget_unparent(view);
  }
}

}  // namespace zemblo
