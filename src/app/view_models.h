#pragma once

#include "passwords/passwords_window.h"
#include "settings/settings_context.h"
#include "window/browser_window.h"

namespace zemblo {

class BrowserStore;
class WindowModel;

// What each window is handed of the store: the models it shows and changes, never the store.
BrowserWindow::Models browserWindowModels(BrowserStore& store, WindowModel& tabs);
// `lastUsedTabs` gives the tabs of the browser window the user used last, if one is open.
SettingsModels settingsModels(BrowserStore& store, std::function<WindowModel*()> lastUsedTabs);
PasswordsWindow::Models passwordsModels(BrowserStore& store,
                                        std::function<WindowModel*()> lastUsedTabs);

}  // namespace zemblo
