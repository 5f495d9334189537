#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/page_dark_mode.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/url.h"
#include "platform/user_defaults.h"

namespace zemblo {

class AdBlocker;
class BrowserEngine;
class BrowserTab;
class BrowserWindows;
class DarkModeController;
class PreferencesModel;
class Space;

// What the browser does to every page: the content blocker and page dark mode, kept in line
// with the preferences and the application's appearance in every tab that has a web view, and
// the removal of the data sites stored.
class PageServicesModel : public std::enable_shared_from_this<PageServicesModel> {
 public:
  using SpaceList = std::vector<std::shared_ptr<Space>>;

  // The engine and the preferences outlive the model; the changes below reach the tabs of every
  // window in `windows` while it lasts.
  PageServicesModel(BrowserEngine& engine, PreferencesModel& preferences,
                    std::weak_ptr<const BrowserWindows> windows, UserDefaults& defaults,
                    Scheduler& scheduler);
  ~PageServicesModel();
  PageServicesModel(const PageServicesModel&) = delete;
  PageServicesModel& operator=(const PageServicesModel&) = delete;

  // Prepares the content rules and starts following the application's appearance.
  void start();

  AdBlocker& adBlocker() const { return *adBlocker_; }
  // For page handlers, which may outlive the model.
  std::weak_ptr<const AdBlocker> weakAdBlocker() const { return adBlocker_; }
  std::weak_ptr<const DarkModeController> weakDarkMode() const { return darkMode_; }

  // Puts the site of the tab's page on the content blocker's allow list (`allowed`) or takes it
  // off, then reloads the tab so the page shows the change. A page without a host does nothing.
  void setAdBlock(bool allowed, BrowserTab& tab);
  // Switches page dark mode back on for the site of the tab's page (`on`), or off: every excluded
  // host of the same site goes, and when switched off the page's canonical host is added once. A
  // page without a host does nothing.
  void setPageDarkMode(bool on, const BrowserTab& tab);
  // Off becomes always; following the theme and always become off.
  void togglePageDarkMode();

  void applyAdBlockToAllTabs();
  // Brings every existing web view in line with the page dark-mode preferences and the
  // application's appearance; creates no web view.
  void applyPageDarkModeToAllTabs();
  // Brings one tab's web view in line with page dark mode for a page at `address`; with
  // `pushToPage` the page shown now takes the new configuration too.
  void applyDarkMode(BrowserTab& tab, const std::optional<Url>& address, bool pushToPage = false);
  bool isSystemDark() const;
  // How a page of `host` is to look now.
  PageDarkModeDecision decisionForHost(const std::optional<std::string>& host) const;
  // The application's dark state as page dark mode needs it: read only when the setting follows
  // it, since reading it can be slow (the desktop's settings) and a first page should not wait.
  bool isSystemDarkForPages() const;

  // Removes all website data of every tab; history, session, favourites, passwords and
  // preferences stay. `done` learns whether the data is really gone, once the engine is done.
  void clearWebsiteData(std::function<void(bool cleared)> done);

 private:
  SpaceList allSpaces() const;

  BrowserEngine& engine_;
  PreferencesModel& preferences_;
  std::weak_ptr<const BrowserWindows> windows_;
  std::shared_ptr<AdBlocker> adBlocker_;
  std::shared_ptr<DarkModeController> darkMode_;
};

}  // namespace zemblo
