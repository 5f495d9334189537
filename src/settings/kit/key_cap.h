#pragma once

#include <string>

#include <gtkmm.h>

namespace zemblo {

// One keyboard key drawn as a small rounded cap ("Ctrl", "T", "← →"), at least 22 wide and 20
// high and wider for a longer key. Always in the rounded design, whatever the window's font.
class KeyCap : public Gtk::Label {
 public:
  static constexpr int kMinimumWidth = 22;
  static constexpr int kMinimumHeight = 20;

  explicit KeyCap(const std::string& key);
};

}  // namespace zemblo
