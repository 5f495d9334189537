#pragma once

#include <memory>
#include <optional>

#include <gtkmm.h>

#include "model/page_dialog.h"

namespace zemblo {

class BrowserTab;

// A page's alert, confirm or prompt, drawn by the browser over the page in its own tab's card:
// the heading, the page's text, the prompt's field, the offer to stop the page's dialogs and the
// buttons, on a veil over the page. Being part of the card, it never covers another tab nor
// keeps the window's keys: the browser's shortcuts reach the window first, and switching tabs
// takes the dialog away with its tab. Return answers OK, Escape cancels, Tab reaches the box.
class PageDialogView : public Gtk::Widget {
 public:
  PageDialogView();
  ~PageDialogView() override;

  // Shows the dialog `tab` is waiting on, or hides the view when there is none. A new dialog, or
  // one shown again, takes the keyboard.
  void setTab(const std::shared_ptr<BrowserTab>& tab);

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void fill(const PageDialog& dialog);
  void takeFocus();
  void answer(bool confirmed);
  bool keyPressed(guint keyval);
  void moveFocus(bool forward);

  std::shared_ptr<BrowserTab> tab_;
  std::optional<PageDialog> shown_;
  Glib::RefPtr<Gtk::CssProvider> style_;
  Gtk::Box card_{Gtk::Orientation::VERTICAL, 12};
  Gtk::Label heading_;
  Gtk::ScrolledWindow messageScroller_;
  Gtk::Label message_;
  Gtk::Entry entry_;
  Gtk::CheckButton stop_;
  Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Button cancel_;
  Gtk::Button ok_;
};

}  // namespace zemblo
