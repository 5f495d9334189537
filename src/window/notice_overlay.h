#pragma once

#include <adwaita.h>
#include <gtkmm.h>

#include <memory>

#include "platform/gobject_ref.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserStore;

// Shows the store's notices over the window's content as toasts, one after another, each once.
class NoticeOverlay : public Gtk::Widget {
 public:
  explicit NoticeOverlay(BrowserStore& store);
  ~NoticeOverlay() override;

  void setContent(Gtk::Widget& content);
  // Toasts shown or waiting since this overlay was made, for tests.
  int shownCount() const { return shown_; }

 private:
  void sync();

  BrowserStore& store_;
  GObjectRef<AdwToastOverlay> overlay_;
  int shown_ = 0;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
