#include "app/view_models.h"

#include "model/browser_store.h"

namespace zemblo {

BrowserWindow::Models browserWindowModels(BrowserStore& store, WindowModel& tabs) {
  return {.tabs = tabs,
          .windows = store.browserWindows(),
          .preferences = store.preferences(),
          .favorites = store.favorites(),
          .history = store.history(),
          .pageServices = store.pageServices(),
          .downloads = store.downloads(),
          .offers = store.offers(),
          .sitePermissions = store.sitePermissions(),
          .memoryPressure = store.memoryPressure(),
          .notices = store.notices,
          .windowFrames = store.windowFrames()};
}

SettingsModels settingsModels(BrowserStore& store, std::function<WindowModel*()> lastUsedTabs) {
  return {store.preferences(),     store.browserWindows(),
          store.favorites(),       store.history(),
          store.pageServices(),    store.passwords(),
          store.sitePermissions(), [&store] { store.scheduleSave(); },
          store.weak_from_this(),  std::move(lastUsedTabs)};
}

PasswordsWindow::Models passwordsModels(BrowserStore& store,
                                        std::function<WindowModel*()> lastUsedTabs) {
  return {.passwords = store.passwords(),
          .preferences = store.preferences(),
          .windows = store.browserWindows(),
          .lastUsedTabs = std::move(lastUsedTabs)};
}

}  // namespace zemblo
