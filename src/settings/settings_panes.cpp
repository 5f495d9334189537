#include "settings/settings_panes.h"

#include "settings/appearance_pane.h"
#include "settings/general_pane.h"
#include "settings/interface_preview.h"
#include "settings/sidebar_pane.h"
#include "settings/window_pane.h"

namespace zemblo {

std::unique_ptr<PaneBody> makeSettingsPane(SettingsPane pane, const SettingsContext& context) {
  switch (pane) {
    case SettingsPane::general:
      return std::make_unique<GeneralPane>(context);
    case SettingsPane::appearance:
      return std::make_unique<AppearancePane>(context);
    case SettingsPane::sidebar:
      return std::make_unique<SidebarPane>(context);
    case SettingsPane::window:
      return std::make_unique<WindowPane>(context);
    case SettingsPane::colors:
    case SettingsPane::startPage:
    case SettingsPane::spaces:
    case SettingsPane::privacy:
      break;
  }
  // The panes' own rows join here, one pane class per case, as they are built.
  auto body = std::make_unique<PaneBody>(pane);
  if (pane == SettingsPane::appearance || pane == SettingsPane::colors) {
    body->append(*Gtk::make_managed<InterfacePreview>(context));
  }
  return body;
}

}  // namespace zemblo
