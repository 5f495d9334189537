#pragma once

#include <gtkmm.h>

#include "settings/panes/keyboard_shortcuts.h"

namespace zemblo {

// One line of the shortcut list: what the shortcut does, and its keys as caps at the trailing
// edge. Text only; nothing in it reacts.
class ShortcutRow : public Gtk::Box {
 public:
  explicit ShortcutRow(const KeyboardShortcut& shortcut);

 private:
  Gtk::Label title_;
  Gtk::Box caps_{Gtk::Orientation::HORIZONTAL, 3};
  Gtk::Label or_;
  Gtk::Box alternativeCaps_{Gtk::Orientation::HORIZONTAL, 3};
};

}  // namespace zemblo
