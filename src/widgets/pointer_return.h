#pragma once

#include <gtkmm.h>

namespace zemblo {

// A menu or popover holds the pointer while it is open. When it closes from the keyboard
// (Escape) with the pointer still, the toolkit keeps taking the pointer for inside the closed
// menu and drops the window's next clicks until the pointer moves. Once a menu its owner opened
// has closed, this drops the menu's own surface (it is made again when the menu next opens) and,
// if the pointer has not moved since it last moved over the owner, hands that move to the window
// again, so that the next click reaches the control under the pointer.
class PointerReturn : public sigc::trackable {
 public:
  explicit PointerReturn(Gtk::Widget& owner);
  ~PointerReturn();
  PointerReturn(const PointerReturn&) = delete;
  PointerReturn& operator=(const PointerReturn&) = delete;

  // Watches `opened`, a menu or popover of the owner, for as long as both live.
  void watch(Gtk::Popover& opened);

 private:
  void moved();
  void closed(Gtk::Popover& opened);
  void handBack();

  Glib::RefPtr<Gtk::EventControllerMotion> motion_;
  GdkEvent* lastMove_ = nullptr;
};

}  // namespace zemblo
