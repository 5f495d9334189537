#include "web/web_view_container.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "platform/gobject_ref.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

WebKitWebViewPort* portOf(const std::shared_ptr<BrowserTab>& tab) {
  return tab ? dynamic_cast<WebKitWebViewPort*>(tab->storedWebView()) : nullptr;
}

}  // namespace

WebViewContainer::WebViewContainer() : Gtk::Box(Gtk::Orientation::VERTICAL) {
  set_hexpand(true);
  set_vexpand(true);
  g_weak_ref_init(&pageMenuView_, nullptr);
}

WebViewContainer::~WebViewContainer() {
  pressure_.disconnect();
  followPageMenus(nullptr);
  g_weak_ref_clear(&pageMenuView_);
}

void WebViewContainer::namePageMenusWith(std::function<void(Gtk::PopoverMenu&)> name) {
  namePageMenu_ = std::move(name);
}

void WebViewContainer::followPageMenus(GtkWidget* view) {
  if (auto* followed = static_cast<GObject*>(g_weak_ref_get(&pageMenuView_))) {
    g_signal_handler_disconnect(followed, pageMenuHandler_);
    g_object_unref(followed);
  }
  g_weak_ref_set(&pageMenuView_, view);
  if (!view) return;
  // The engine has made the menu, still empty, before it asks; it fills it after.
  const auto asked = [](GtkWidget* page, gpointer, gpointer, WebViewContainer* self) -> gboolean {
    for (GtkWidget* child = gtk_widget_get_first_child(page); child;
         child = gtk_widget_get_next_sibling(child)) {
      if (!GTK_IS_POPOVER_MENU(child) || gtk_widget_get_visible(child) || !self->namePageMenu_) {
        continue;
      }
      Gtk::PopoverMenu* menu = Glib::wrap(GTK_POPOVER_MENU(child));
      menu->property_menu_model().signal_changed().connect(
          [menu, name = self->namePageMenu_] { name(*menu); });
    }
    return FALSE;
  };
  pageMenuHandler_ = g_signal_connect(view, "context-menu", toGCallback(+asked), this);
}

void WebViewContainer::dropKeptFramesOn(MemoryPressure& pressure) {
  pressure_.disconnect();
  // Every level: they only spare the engine a repaint. A frame on screen stays until it leaves.
  pressure_ =
      pressure.signalWarning().connect([this](MemoryPressureLevel) { keptFrames_.dropAll(); });
}

void WebViewContainer::setTab(const std::shared_ptr<BrowserTab>& tab) {
  tab_ = tab;
  shownFrame_.reset();
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
  lastFrame_.reset();
  append(view);
  followPageMenus(view.gobj());
  awaitingRepaint_ = true;
  staleDrawing_.reset();
}

void WebViewContainer::showKeptFrame(const std::shared_ptr<BrowserTab>& tab) {
  tab_.reset();
  removeShownView();
  const auto* port = portOf(tab);
  cairo_surface_t* frame = port ? KeptPageFrames::frameOf(port->widget().gobj()) : nullptr;
  if (frame == shownFrame_.get()) return;
  shownFrame_.reset(frame ? cairo_surface_reference(frame) : nullptr);
  queue_draw();
}

void WebViewContainer::removeShownView() {
  awaitingRepaint_ = false;
  staleDrawing_.reset();
  while (Gtk::Widget* child = get_first_child()) {
    if (lastFrame_) keptFrames_.keep(child->gobj(), lastFrame_.get(), get_width(), get_height());
    lastFrame_.reset();
    detachWebView(child->gobj());
  }
  followPageMenus(nullptr);
}

void WebViewContainer::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  Gtk::Widget* view = get_first_child();
  if (!view) {
    lastFrame_.reset();
    if (shownFrame_) appendFrame(snapshot, shownFrame_.get());
    return;
  }
  shownFrame_.reset();
  GtkSnapshot* own = gtk_snapshot_new();
  gtk_widget_snapshot_child(Gtk::Widget::gobj(), view->gobj(), own);
  Node frame(gtk_snapshot_free_to_node(own));
  cairo_surface_t* kept = KeptPageFrames::frameOf(view->gobj());
  // An engine that composites on the GPU may paint nothing until the page's buffers are made
  // again.
  if (kept && (!frame || awaitsRepaint(frame))) {
    appendFrame(snapshot, kept);
    return;
  }
  awaitingRepaint_ = false;
  staleDrawing_.reset();
  if (!frame) return;
  gtk_snapshot_append_node(snapshot->gobj(), frame.get());
  lastFrame_ = std::move(frame);
}

bool WebViewContainer::awaitsRepaint(const Node& drawing) {
  if (!awaitingRepaint_) return false;
  // Painted at the size it has now, the engine's own frame is the page as it was, and sharper.
  if (KeptPageFrames::keptAtSize(get_first_child()->gobj(), get_width(), get_height())) {
    return false;
  }
  if (!staleDrawing_) staleDrawing_.reset(gsk_render_node_ref(drawing.get()));
  return drawing.get() == staleDrawing_.get();
}

void WebViewContainer::appendFrame(const Glib::RefPtr<Gtk::Snapshot>& snapshot,
                                   cairo_surface_t* frame) {
  const graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, float(get_width()), float(get_height()));
  cairo_t* cr = gtk_snapshot_append_cairo(snapshot->gobj(), &bounds);
  // Stretched back to the size it was painted at: blurred a little, which a page passed over
  // in a moment never shows.
  cairo_scale(cr, get_width() / double(cairo_image_surface_get_width(frame)),
              get_height() / double(cairo_image_surface_get_height(frame)));
  cairo_set_source_surface(cr, frame, 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  // The drawing library's own choice may filter with a wider kernel, which costs a frame its
  // time; plain bilinear is what a page passed over needs.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_paint(cr);
  cairo_destroy(cr);
}

void detachWebView(GtkWidget* view) {
  GtkWidget* parent = gtk_widget_get_parent(view);
  if (!parent) return;
  // A page's menu still open (an item of it showed another tab) would otherwise come back with
  // the page, stale, and the engine would open no new one while it thinks it is shown.
  for (GtkWidget* child = gtk_widget_get_first_child(view); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GTK_IS_POPOVER(child) && gtk_widget_get_visible(child)) {
      gtk_popover_popdown(GTK_POPOVER(child));
    }
  }
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
