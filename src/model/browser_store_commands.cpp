// The one-shot commands of the menus and the sidebar, and page dark mode across all tabs.

#include <algorithm>

#include "model/ad_blocker.h"
#include "model/browser_engine.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/host_rules.h"

namespace zemblo {
namespace {

// The index one step away from `from` in a list of `count`, wrapping around at either end.
size_t wrappedStep(size_t from, size_t count, bool forward) {
  return forward ? (from + 1) % count : (from + count - 1) % count;
}

}  // namespace

void BrowserStore::newTab() {
  if (commandBar.peek()) commandBar.set(std::nullopt);
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  const auto blank =
      std::ranges::find_if(tabs, [](const auto& tab) { return !tab->url.peek() && !tab->isPopup; });
  std::shared_ptr<BrowserTab> tab;
  if (blank != tabs.end()) {
    tab = *blank;
  } else {
    tab = std::make_shared<BrowserTab>(Uuid::random());
    insertTab(tab);
  }
  select(*tab);
  // Notifies even when the tab was already shown, so the start page focuses its field again.
  startPageFocusToken.mutate([](long long& token) { ++token; });
}

void BrowserStore::reopenClosedTab() {
  if (closedTabs.empty()) return;
  const ClosedTab record = std::move(closedTabs.back());
  closedTabs.pop_back();
  const auto& list = spaces.peek();
  const bool spaceExists =
      std::ranges::any_of(list, [&](const auto& space) { return space->id == record.spaceID; });
  if (spaceExists) currentSpaceID.set(record.spaceID);
  openTab(record.url, false);
}

void BrowserStore::togglePageDarkMode() {
  updatePrefs([](AppPreferences& prefs) {
    prefs.pageDarkMode =
        prefs.pageDarkMode == PageDarkMode::off ? PageDarkMode::always : PageDarkMode::off;
  });
}

void BrowserStore::toggleFindBar() {
  if (!currentSpace()->selectedTab()) return;
  findBarVisible.mutate([](bool& visible) { visible = !visible; });
}

void BrowserStore::selectAdjacentTab(bool forward) {
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  if (tabs.empty()) return;
  const auto& selected = space->selectedTabID.peek();
  const auto found =
      std::ranges::find_if(tabs, [&](const auto& tab) { return selected && tab->id == *selected; });
  const size_t from = found == tabs.end() ? 0 : static_cast<size_t>(found - tabs.begin());
  const auto target = tabs[wrappedStep(from, tabs.size(), forward)];
  select(*target);
}

void BrowserStore::selectAdjacentSpace(bool forward) {
  const auto& list = spaces.peek();
  // Unlike the other commands there is no fall-back to the first space: stepping from a space
  // that is not really current would jump somewhere unrelated.
  const auto found = std::ranges::find_if(
      list, [&](const auto& space) { return space->id == currentSpaceID.peek(); });
  if (found == list.end()) return;
  const auto from = static_cast<size_t>(found - list.begin());
  const auto target = list[wrappedStep(from, list.size(), forward)];
  select(*target);
}

void BrowserStore::selectTab(int number) {
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  if (tabs.empty()) return;
  const auto count = static_cast<long long>(tabs.size());
  const long long index = number == 9 ? count - 1 : number - 1;
  if (index < 0 || index >= count) return;
  const auto target = tabs[static_cast<size_t>(index)];
  select(*target);
}

bool BrowserStore::isSystemDark() const { return engine_->isDark(); }

bool BrowserStore::isSystemDarkForPages() const {
  return prefs_.peek().pageDarkMode == PageDarkMode::withTheme && isSystemDark();
}

void BrowserStore::applyPageDarkModeToAllTabs() {
  // Copies, so that a web view reacting to its new look cannot pull a list from under the loop.
  const SpaceList list = spaces.peek();
  for (const auto& space : list) {
    const Space::TabList tabs = space->tabs.peek();
    for (const auto& tab : tabs) applyDarkMode(*tab, tab->url.peek(), /*pushToPage=*/true);
  }
}

void BrowserStore::applyDarkMode(BrowserTab& tab, const std::optional<Url>& address,
                                 bool pushToPage) {
  if (!tab.storedWebView()) return;
  engine_->applyPageDarkMode(
      tab, pageDarkModeDecision(prefs_.peek(), address, isSystemDarkForPages()), pushToPage);
}

void BrowserStore::setAdBlock(bool allowed, BrowserTab& tab) {
  const auto address = tab.url.peek();
  if (!address || !address->host()) return;
  adBlocker().setAllowed(allowed, *address->host());
  tab.reload();
}

void BrowserStore::setPageDarkMode(bool on, const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  const auto host = address ? address->host() : std::nullopt;
  if (!host) return;
  const std::optional<std::string> site = normalizedHost(*host);
  if (!site || site->empty()) return;
  updatePrefs([&](AppPreferences& prefs) {
    std::erase_if(prefs.darkDisabledHosts,
                  [&](const std::string& entry) { return hostsMatch(entry, *site); });
    if (!on) prefs.darkDisabledHosts.push_back(*site);
  });
}

void BrowserStore::clearWebsiteData(std::function<void(bool cleared)> done) {
  engine_->clearWebsiteData(std::move(done));
}

}  // namespace zemblo
