#pragma once

#include <adwaita.h>
#include <gtkmm.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gobject_ref.h"
#include "platform/observable.h"

namespace zemblo {

// Shows the waiting notices over the window's content as toasts, one after another, each once:
// they are taken out of `notices` as they are shown.
class NoticeOverlay : public Gtk::Widget {
 public:
  using Notices = Observable<std::vector<std::string>, NeverEqual>;

  explicit NoticeOverlay(Notices& notices);
  ~NoticeOverlay() override;

  void setContent(Gtk::Widget& content);

 private:
  void sync();
  static void nameCloseButtons(GtkWidget* overlay);
  static void nameButtonsIn(GtkWidget* toast);

  Notices& notices_;
  GObjectRef<AdwToastOverlay> overlay_;
  // The overlay's children: each toast that comes on screen joins them.
  GObjectRef<GListModel> children_;
  gulong childrenChanged_ = 0;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
