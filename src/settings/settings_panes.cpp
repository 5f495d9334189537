#include "settings/settings_panes.h"

#include "settings/interface_preview.h"
#include "settings/privacy_pane.h"
#include "settings/spaces_pane.h"
#include "settings/start_page_pane.h"

namespace zemblo {
namespace {

bool opensWithPreview(SettingsPane pane) {
  switch (pane) {
    case SettingsPane::appearance:
    case SettingsPane::colors:
    case SettingsPane::sidebar:
    case SettingsPane::window:
      return true;
    case SettingsPane::general:
    case SettingsPane::startPage:
    case SettingsPane::spaces:
    case SettingsPane::privacy:
      break;
  }
  return false;
}

}  // namespace

std::unique_ptr<PaneBody> makeSettingsPane(SettingsPane pane, const SettingsContext& context) {
  switch (pane) {
    case SettingsPane::startPage:
      return std::make_unique<StartPagePane>(context);
    case SettingsPane::spaces:
      return std::make_unique<SpacesPane>(context);
    case SettingsPane::privacy:
      return std::make_unique<PrivacyPane>(context);
    default:
      break;
  }
  // The panes' own rows join here, one pane class per case, as they are built.
  auto body = std::make_unique<PaneBody>(pane);
  if (opensWithPreview(pane)) body->append(*Gtk::make_managed<InterfacePreview>(context));
  return body;
}

}  // namespace zemblo
