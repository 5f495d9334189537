#pragma once

#include <functional>
#include <string>

#include <gtkmm.h>

namespace zemblo {

// The sidebar's small square symbol button: one symbol in a 28 × 26 hit area with rounded corners
// that lights up under the pointer while the button is enabled, and a tooltip. Takes plain values
// only, so views outside the sidebar can build it too.
class SidebarIconButton : public Gtk::Button {
 public:
  static constexpr int kWidth = 28;
  static constexpr int kHeight = 26;
  static constexpr double kSymbolPointSize = 13;

  SidebarIconButton(std::string symbol, std::string help, bool enabled,
                    std::function<void()> action);

  // The caller passes the help text and the enabled state again at every update.
  void update(const std::string& help, bool enabled);

  // For faces that tell a state by their glyph.
  void setSymbol(std::string symbol);
  // The pointer entered or left the button.
  void setHovering(bool hovering);
  // The symbol alone, for effects on it.
  Gtk::Widget& symbolImage() { return image_; }

 private:
  std::string symbol_;
  std::function<void()> action_;
  Gtk::Image image_;
  bool hovering_ = false;
};

}  // namespace zemblo
