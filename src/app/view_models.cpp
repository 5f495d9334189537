#include "app/view_models.h"

#include "model/browser_store.h"

namespace zemblo {

BrowserWindow::Models browserWindowModels(BrowserStore& store, TabsModel& tabs) {
  return {.tabs = tabs,
          .preferences = store.preferences(),
          .favorites = store.favorites(),
          .history = store.history(),
          .pageServices = store.pageServices(),
          .downloads = store.downloads(),
          .offers = store.offers(),
          .sitePermissions = store.sitePermissions(),
          .memoryPressure = store.memoryPressure(),
          .notices = store.notices};
}

SettingsModels settingsModels(BrowserStore& store) {
  return {store.preferences(),     store.tabs(),
          store.favorites(),       store.history(),
          store.pageServices(),    store.passwords(),
          store.sitePermissions(), [&store] { store.scheduleSave(); },
          store.weak_from_this()};
}

PasswordsWindow::Models passwordsModels(BrowserStore& store) {
  return {.passwords = store.passwords(), .preferences = store.preferences(), .tabs = store.tabs()};
}

}  // namespace zemblo
