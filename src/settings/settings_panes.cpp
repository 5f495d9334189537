#include "settings/settings_panes.h"

#include "settings/panes/appearance_pane.h"
#include "settings/panes/colors_pane.h"
#include "settings/panes/general_pane.h"
#include "settings/panes/privacy_pane.h"
#include "settings/panes/sidebar_pane.h"
#include "settings/panes/spaces_pane.h"
#include "settings/panes/start_page_pane.h"
#include "settings/panes/window_pane.h"

namespace zemblo {

std::unique_ptr<PaneBody> makeSettingsPane(SettingsPane pane, const SettingsContext& context) {
  switch (pane) {
    case SettingsPane::general:
      return std::make_unique<GeneralPane>(context);
    case SettingsPane::appearance:
      return std::make_unique<AppearancePane>(context);
    case SettingsPane::colors:
      return std::make_unique<ColorsPane>(context);
    case SettingsPane::sidebar:
      return std::make_unique<SidebarPane>(context);
    case SettingsPane::window:
      return std::make_unique<WindowPane>(context);
    case SettingsPane::startPage:
      return std::make_unique<StartPagePane>(context);
    case SettingsPane::spaces:
      return std::make_unique<SpacesPane>(context);
    case SettingsPane::privacy:
      return std::make_unique<PrivacyPane>(context);
  }
  return std::make_unique<PaneBody>(pane);
}

}  // namespace zemblo
