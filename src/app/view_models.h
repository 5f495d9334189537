#pragma once

#include "passwords/passwords_window.h"
#include "settings/settings_context.h"
#include "window/browser_window.h"

namespace zemblo {

class BrowserStore;
class TabsModel;

// What each window is handed of the store: the models it shows and changes, never the store.
BrowserWindow::Models browserWindowModels(BrowserStore& store, TabsModel& tabs);
SettingsModels settingsModels(BrowserStore& store);
PasswordsWindow::Models passwordsModels(BrowserStore& store);

}  // namespace zemblo
