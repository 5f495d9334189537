#pragma once

#include <optional>
#include <string>

#include <gtkmm.h>

#include "settings/kit/pane_header.h"
#include "settings/kit/settings_section.h"
#include "settings/settings_pane.h"

namespace zemblo {

// The body of a settings pane: its header first, then whatever the pane shows (the interface
// preview, section cards), 24 apart. A pane derives from it and adds its parts in order:
//
//   AppearancePane::AppearancePane(const SettingsContext& context)
//       : PaneBody(SettingsPane::appearance) {
//     append(*Gtk::make_managed<InterfacePreview>(context));
//     auto& theme = addSection(localized("Tema"));
//     theme.add<SegmentedRow<ThemeMode>>(...);
//   }
//
// The window builds the pane anew each time it is shown, so a pane may keep view state in
// members and start afresh with it.
class PaneBody : public Gtk::Box {
 public:
  static constexpr int kSpacing = 24;

  explicit PaneBody(SettingsPane pane);

  // Appends a new section card at the end of the pane.
  SettingsSection& addSection(std::optional<std::string> title = std::nullopt,
                              std::optional<std::string> footer = std::nullopt);

 private:
  PaneHeader header_;
};

}  // namespace zemblo
