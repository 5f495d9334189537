#include "window/notice_overlay.h"

namespace zemblo {

NoticeOverlay::NoticeOverlay(Notices& notices)
    : notices_(notices),
      overlay_(GObjectRef<AdwToastOverlay>::share(ADW_TOAST_OVERLAY(adw_toast_overlay_new()))) {
  set_layout_manager(Gtk::BinLayout::create());
  gtk_widget_set_parent(GTK_WIDGET(overlay_.get()), gobj());
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

NoticeOverlay::~NoticeOverlay() {
  observer_.reset();
  adw_toast_overlay_set_child(overlay_.get(), nullptr);
  gtk_widget_unparent(GTK_WIDGET(overlay_.get()));
}

void NoticeOverlay::setContent(Gtk::Widget& content) {
  adw_toast_overlay_set_child(overlay_.get(), content.gobj());
}

void NoticeOverlay::sync() {
  const std::vector<std::string>& waiting = notices_.get();
  if (waiting.empty()) return;
  for (const std::string& text : waiting) {
    AdwToast* toast = adw_toast_new(text.c_str());
    // Long enough to read a sentence that names a file.
    adw_toast_set_timeout(toast, 10);
    adw_toast_overlay_add_toast(overlay_.get(), toast);  // takes the toast
    ++shown_;
  }
  notices_.set({});
}

}  // namespace zemblo
