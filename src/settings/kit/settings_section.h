#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtkmm.h>

namespace zemblo {

class RowDivider;

// One card of a pane: an optional title above it, rows stacked inside it with no gap and a
// divider between neighbours, an optional footer below. Absent texts leave no space behind.
// A row hidden with `set_visible(false)` takes its divider with it.
class SettingsSection : public Gtk::Box {
 public:
  explicit SettingsSection(std::optional<std::string> title = std::nullopt,
                           std::optional<std::string> footer = std::nullopt);

  // Adds a row (any widget: the kit's rows, choice cards, a row of the pane's own) at the end
  // of the card. The section keeps it in the card for as long as the section lives.
  void addRow(Gtk::Widget& row);
  // Builds the row in place: `section.add<ToggleRow>(title, subtitle, symbol, binding)`.
  template <class Row, class... Args>
  Row& add(Args&&... args) {
    Row* row = Gtk::make_managed<Row>(std::forward<Args>(args)...);
    addRow(*row);
    return *row;
  }

 private:
  void updateDividers();

  Gtk::Label* title_ = nullptr;
  Gtk::Box card_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Label* footer_ = nullptr;
  // Each row with the divider above it (none for the first).
  std::vector<std::pair<Gtk::Widget*, RowDivider*>> rows_;
};

}  // namespace zemblo
