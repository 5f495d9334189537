#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "model/browser_windows.h"
#include "model/color.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

class FaviconLoader;
class FavoritesModel;
class HistoryModel;
class PageServicesModel;
class PasswordStore;
class PreferencesModel;
class SitePermissions;
class WindowModel;

// The models the settings window shows and changes, handed over by whoever owns them.
struct SettingsModels {
  PreferencesModel& preferences;
  // Every browser window; the first one's current space colours the window.
  BrowserWindows& windows;
  FavoritesModel& favorites;
  HistoryModel& history;
  PageServicesModel& pageServices;
  PasswordStore& passwords;
  SitePermissions& sitePermissions;
  // Asks for the session, which keeps the spaces' names and colours, to be written soon.
  std::function<void()> saveSession;
  // Expires with the models: work that may finish after the window has gone checks it first.
  std::weak_ptr<const void> lifetime;
  // The tabs of the browser window the user used last, whose page a change reloads; none while
  // no browser window is open.
  std::function<WindowModel*()> lastUsedTabs;
};

// What every view of the settings window reads: the models, the site icons and the window's light
// or dark appearance. All outlive the window's views. Reading any of them inside a view's sync
// subscribes the view to it.
class SettingsContext {
 public:
  SettingsContext(SettingsModels models, FaviconLoader& favicons, const SystemColorScheme& scheme)
      : models_(std::move(models)), favicons_(favicons), scheme_(scheme) {}

  PreferencesModel& preferences() const { return models_.preferences; }
  BrowserWindows& windows() const { return models_.windows; }
  // The first browser window's model, through which the spaces are edited.
  WindowModel& tabs() const { return models_.windows.first(); }
  FavoritesModel& favorites() const { return models_.favorites; }
  HistoryModel& history() const { return models_.history; }
  PageServicesModel& pageServices() const { return models_.pageServices; }
  PasswordStore& passwords() const { return models_.passwords; }
  SitePermissions& sitePermissions() const { return models_.sitePermissions; }
  void saveSession() const { models_.saveSession(); }
  const std::weak_ptr<const void>& lifetime() const { return models_.lifetime; }
  WindowModel* lastUsedTabs() const { return models_.lastUsedTabs(); }
  FaviconLoader& favicons() const { return favicons_; }
  ColorScheme scheme() const { return scheme_.get(); }

 private:
  SettingsModels models_;
  FaviconLoader& favicons_;
  const SystemColorScheme& scheme_;
};

}  // namespace zemblo
