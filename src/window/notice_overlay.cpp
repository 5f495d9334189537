#include "window/notice_overlay.h"

#include <string_view>

#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

NoticeOverlay::NoticeOverlay(Notices& notices)
    : notices_(notices),
      overlay_(GObjectRef<AdwToastOverlay>::share(ADW_TOAST_OVERLAY(adw_toast_overlay_new()))) {
  set_name("NoticeOverlay");
  set_layout_manager(Gtk::BinLayout::create());
  groupForScreenReaders(*this);
  gtk_widget_set_parent(GTK_WIDGET(overlay_.get()), gobj());
  // A toast's close button shows only a symbol, and a screen reader would read its image's type:
  // each toast is named as it comes on screen, queued ones included.
  children_ =
      GObjectRef<GListModel>::adopt(gtk_widget_observe_children(GTK_WIDGET(overlay_.get())));
  childrenChanged_ = g_signal_connect_swapped(
      children_.get(), "items-changed",
      G_CALLBACK(+[](GtkWidget* overlay) { nameCloseButtons(overlay); }), overlay_.get());
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

NoticeOverlay::~NoticeOverlay() {
  observer_.reset();
  g_signal_handler_disconnect(children_.get(), childrenChanged_);
  adw_toast_overlay_set_child(overlay_.get(), nullptr);
  gtk_widget_unparent(GTK_WIDGET(overlay_.get()));
}

void NoticeOverlay::setContent(Gtk::Widget& content) {
  adw_toast_overlay_set_child(overlay_.get(), content.gobj());
}

void NoticeOverlay::nameCloseButtons(GtkWidget* overlay) {
  // The overlay's other child is the window's content, whose buttons are named already.
  for (GtkWidget* child = gtk_widget_get_first_child(overlay); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (std::string_view(G_OBJECT_TYPE_NAME(child)) != "AdwToastWidget") continue;
    nameButtonsIn(child);
    groupToolkitParts(*Glib::wrap(child));
  }
}

void NoticeOverlay::nameButtonsIn(GtkWidget* widget) {
  if (GTK_IS_BUTTON(widget) && !gtk_button_get_label(GTK_BUTTON(widget))) {
    const std::string name = localized("Kapat");
    gtk_accessible_update_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   name.c_str(), -1);
  }
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    nameButtonsIn(child);
  }
}

void NoticeOverlay::sync() {
  const std::vector<std::string>& waiting = notices_.get();
  if (waiting.empty()) return;
  for (const std::string& text : waiting) {
    AdwToast* toast = adw_toast_new(text.c_str());
    // Long enough to read a sentence that names a file.
    adw_toast_set_timeout(toast, 10);
    adw_toast_overlay_add_toast(overlay_.get(), toast);  // takes the toast
  }
  notices_.set({});
}

}  // namespace zemblo
