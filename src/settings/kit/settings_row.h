#pragma once

#include <optional>
#include <string>

#include <gtkmm.h>

namespace zemblo {

// A row of a section card: an optional symbol, the title with an optional subtitle under it
// (wrapped onto as many lines as it needs), and an accessory control at the trailing edge.
// Texts are shown as given; the pane localises them.
class SettingsRow : public Gtk::Box {
 public:
  SettingsRow(std::string title, std::optional<std::string> subtitle = std::nullopt,
              std::optional<std::string> symbol = std::nullopt);

  // Places the control (made with Gtk::make_managed, or owned elsewhere) at the trailing edge; a
  // button there is drawn in the small control size.
  // A control that shows no text of its own (a switch, a slider, a segmented control) is named
  // after the row for assistive technologies; a button with its own text keeps that name and
  // gets the row's title as its description.
  void setAccessory(Gtk::Widget& accessory, bool namedByRow = true);
  void setSubtitle(std::optional<std::string> subtitle);

 private:
  void describeAccessory();

  Gtk::Box texts_{Gtk::Orientation::VERTICAL, 2};
  Gtk::Label title_;
  Gtk::Label subtitle_;
  Gtk::Widget* accessory_ = nullptr;
  bool accessoryNamedByRow_ = true;
};

}  // namespace zemblo
