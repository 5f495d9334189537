#include "model/page_services_model.h"

#include "model/ad_blocker.h"
#include "model/browser_engine.h"
#include "model/browser_tab.h"
#include "model/browser_windows.h"
#include "model/dark_mode_controller.h"
#include "model/host_rules.h"
#include "model/preferences_model.h"
#include "model/space.h"
#include "model/window_model.h"

namespace zemblo {

PageServicesModel::PageServicesModel(BrowserEngine& engine, PreferencesModel& preferences,
                                     std::weak_ptr<const BrowserWindows> windows,
                                     UserDefaults& defaults, Scheduler& scheduler)
    : engine_(engine),
      preferences_(preferences),
      windows_(std::move(windows)),
      adBlocker_(std::make_shared<AdBlocker>(defaults)),
      darkMode_(std::make_shared<DarkModeController>(scheduler)) {}

PageServicesModel::~PageServicesModel() = default;

void PageServicesModel::start() {
  const std::weak_ptr<PageServicesModel> weakSelf = weak_from_this();
  adBlocker_->onChange = [weakSelf] {
    if (auto self = weakSelf.lock()) self->applyAdBlockToAllTabs();
  };
  adBlocker_->prepareRules(engine_.contentRuleStore());
  const auto decide = [weakSelf](const std::optional<std::string>& host) {
    const auto self = weakSelf.lock();
    return self ? std::optional(self->decisionForHost(host)) : std::nullopt;
  };
  const auto applyToAll = [weakSelf] {
    if (const auto self = weakSelf.lock()) self->applyPageDarkModeToAllTabs();
  };
  darkMode_->serve({.decisionForHost = decide, .applyToAllTabs = applyToAll});
  const std::weak_ptr<DarkModeController> weakDarkMode = darkMode_;
  darkMode_->appearanceObservation = engine_.observeDark([weakDarkMode] {
    if (auto controller = weakDarkMode.lock()) controller->appearanceChanged();
  });
}

PageServicesModel::SpaceList PageServicesModel::allSpaces() const {
  SpaceList list;
  const auto windows = windows_.lock();
  if (!windows) return list;
  for (const WindowModel* window : windows->all()) {
    list.insert(list.end(), window->spaces.peek().begin(), window->spaces.peek().end());
  }
  return list;
}

void PageServicesModel::applyAdBlockToAllTabs() {
  for (const auto& space : allSpaces()) {
    for (const auto& tab : space->tabs.peek()) adBlocker_->apply(tab->page, tab->url.peek());
  }
}

bool PageServicesModel::isSystemDark() const { return engine_.isDark(); }

PageDarkModeDecision PageServicesModel::decisionForHost(
    const std::optional<std::string>& host) const {
  return pageDarkModeDecisionForHost(preferences_.observablePrefs().peek(), host,
                                     isSystemDarkForPages());
}

bool PageServicesModel::isSystemDarkForPages() const {
  return preferences_.observablePrefs().peek().pageDarkMode == PageDarkMode::withTheme &&
         isSystemDark();
}

void PageServicesModel::applyPageDarkModeToAllTabs() {
  // Copies, so that a web view reacting to its new look cannot pull a list from under the loop.
  const SpaceList list = allSpaces();
  for (const auto& space : list) {
    const auto tabs = space->tabs.peek();
    for (const auto& tab : tabs) applyDarkMode(*tab, tab->url.peek(), /*pushToPage=*/true);
  }
}

void PageServicesModel::applyDarkMode(BrowserTab& tab, const std::optional<Url>& address,
                                      bool pushToPage) {
  if (!tab.storedWebView()) return;
  engine_.applyPageDarkMode(
      tab,
      pageDarkModeDecision(preferences_.observablePrefs().peek(), address, isSystemDarkForPages()),
      pushToPage);
}

void PageServicesModel::setAdBlock(bool allowed, BrowserTab& tab) {
  const auto address = tab.url.peek();
  if (!address || !address->host()) return;
  adBlocker_->setAllowed(allowed, *address->host());
  tab.reload();
}

void PageServicesModel::setPageDarkMode(bool on, const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  const auto host = address ? address->host() : std::nullopt;
  if (!host) return;
  const std::optional<std::string> site = normalizedHost(*host);
  if (!site || site->empty()) return;
  preferences_.updatePrefs([&](AppPreferences& prefs) {
    std::erase_if(prefs.darkDisabledHosts,
                  [&](const std::string& entry) { return hostsMatch(entry, *site); });
    if (!on) prefs.darkDisabledHosts.push_back(*site);
  });
}

void PageServicesModel::togglePageDarkMode() {
  preferences_.updatePrefs([](AppPreferences& prefs) {
    prefs.pageDarkMode =
        prefs.pageDarkMode == PageDarkMode::off ? PageDarkMode::always : PageDarkMode::off;
  });
}

void PageServicesModel::clearWebsiteData(std::function<void(bool cleared)> done) {
  engine_.clearWebsiteData(std::move(done));
}

}  // namespace zemblo
