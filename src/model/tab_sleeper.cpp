#include "model/tab_sleeper.h"

#include <glib.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "model/browser_tab.h"
#include "model/browser_windows.h"
#include "model/preferences_model.h"
#include "model/space.h"
#include "model/window_model.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

std::optional<std::chrono::seconds> delayFromEnvironment() {
  const char* text = std::getenv(TabSleeper::kDelayVariable);
  if (!text) return std::nullopt;
  const std::string_view value(text);
  long seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (error != std::errc() || end != value.data() + value.size() || seconds <= 0) {
    g_warning("%s is not a number of seconds; tabs sleep after the set time",
              TabSleeper::kDelayVariable);
    return std::nullopt;
  }
  return std::chrono::seconds(seconds);
}

}  // namespace

TabSleeper::TabSleeper(const BrowserWindows& windows, const PreferencesModel& preferences,
                       Scheduler& scheduler, MemoryPressure& pressure, Clock now)
    : windows_(windows),
      preferences_(preferences),
      scheduler_(scheduler),
      now_(std::move(now)),
      delayOverride_(delayFromEnvironment()) {
  pressure_ =
      pressure.signalWarning().connect([this](MemoryPressureLevel level) { relieve(level); });
  observer_ = std::make_unique<Observer>([this] { sync(); }, scheduler_);
}

TabSleeper::~TabSleeper() {
  observer_.reset();
  pressure_.disconnect();
}

std::optional<std::chrono::milliseconds> TabSleeper::delay() const {
  switch (preferences_.observablePrefs().peek().tabSleepDelay) {
    case TabSleepDelay::off:
      return std::nullopt;
    case TabSleepDelay::quarterHour:
      return delayOverride_.value_or(15min);
    case TabSleepDelay::hour:
      return delayOverride_.value_or(1h);
    case TabSleepDelay::fourHours:
      return delayOverride_.value_or(4h);
  }
  return std::nullopt;
}

void TabSleeper::sync() {
  // Read for their changes: the tab shown, and the delay.
  (void)preferences_.observablePrefs().get().tabSleepDelay;
  // A closed tab's memory goes only with the last reference to it, weak ones too: the checks that
  // also forget closed tabs may be a minute away, or never come while tabs don't sleep.
  forgetClosedTabs();
  std::vector<std::shared_ptr<BrowserTab>> shown;
  // A tab passed over in quick steps is not woken; the one the steps end on is woken by its
  // window.
  std::vector<std::shared_ptr<BrowserTab>> toWake;
  for (WindowModel* window : windows_.open()) {
    auto space = window->currentSpace();
    if (!space) continue;
    (void)space->selectedTabID.get();
    const bool stepping = window->steppingThroughTabs.get();
    if (auto tab = space->selectedTab()) {
      if (!stepping) toWake.push_back(tab);
      shown.push_back(std::move(tab));
    }
  }
  const TimePoint now = now_();
  // The tabs that were shown until now rest from now on.
  for (const auto& weakPrevious : shown_) {
    auto previous = weakPrevious.lock();
    if (previous && std::find(shown.begin(), shown.end(), previous) == shown.end()) {
      rests_[previous.get()] = {previous, now};
    }
  }
  shown_.assign(shown.begin(), shown.end());
  for (const auto& tab : shown) rests_[tab.get()] = {tab, now};
  for (const auto& tab : toWake) {
    if (tab->page.isAsleep()) tab->page.wake();
  }
  if (delay() != armedDelay_) armCheck();
}

void TabSleeper::armCheck() {
  armedDelay_ = delay();
  check_.reset();
  if (!armedDelay_) return;
  const auto interval =
      std::clamp<std::chrono::milliseconds>(*armedDelay_ / 4, 1s, kLongestCheckInterval);
  check_ = scheduler_.after(interval, [this] {
    check();
    armCheck();
  });
}

void TabSleeper::forgetClosedTabs() {
  std::erase_if(rests_, [](const auto& entry) { return entry.second.tab.expired(); });
}

void TabSleeper::check() {
  forgetClosedTabs();
  const auto wait = delay();
  if (!wait) return;
  const TimePoint now = now_();
  for (const auto& tab : restingTabs()) {
    if (now - lastShown(tab) >= *wait) putToSleep(tab);
  }
}

void TabSleeper::relieve(MemoryPressureLevel level) {
  const auto resting = restingTabs();
  const size_t count = level == MemoryPressureLevel::critical
                           ? resting.size()
                           : std::max<size_t>(1, resting.size() / 2);
  for (size_t i = 0; i < std::min(count, resting.size()); ++i) putToSleep(resting[i]);
}

std::vector<std::shared_ptr<BrowserTab>> TabSleeper::shownTabs() const {
  std::vector<std::shared_ptr<BrowserTab>> shown;
  for (WindowModel* window : windows_.open()) {
    auto space = window->currentSpace();
    if (auto tab = space ? space->selectedTab() : nullptr) shown.push_back(std::move(tab));
  }
  return shown;
}

bool TabSleeper::isShown(const std::shared_ptr<BrowserTab>& tab) const {
  const auto shown = shownTabs();
  return std::find(shown.begin(), shown.end(), tab) != shown.end();
}

TabSleeper::TimePoint TabSleeper::lastShown(const std::shared_ptr<BrowserTab>& tab) {
  // A tab never shown (opened behind the others) rests from when it was first seen.
  const auto [entry, added] = rests_.try_emplace(tab.get(), Rest{tab, now_()});
  if (!added && entry->second.tab.lock() != tab) entry->second = {tab, now_()};
  return entry->second.lastShown;
}

std::vector<std::shared_ptr<BrowserTab>> TabSleeper::restingTabs() {
  const auto shown = shownTabs();
  std::vector<std::pair<TimePoint, std::shared_ptr<BrowserTab>>> resting;
  for (WindowModel* window : windows_.open()) {
    for (const auto& space : window->spaces.peek()) {
      for (const auto& tab : space->tabs.peek()) {
        if (std::find(shown.begin(), shown.end(), tab) != shown.end() || !tab->mayGiveUpPage()) {
          continue;
        }
        resting.emplace_back(lastShown(tab), tab);
      }
    }
  }
  std::stable_sort(resting.begin(), resting.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::shared_ptr<BrowserTab>> tabs;
  for (auto& [time, tab] : resting) tabs.push_back(std::move(tab));
  return tabs;
}

void TabSleeper::putToSleep(const std::shared_ptr<BrowserTab>& tab) {
  std::weak_ptr<BrowserTab> weakTab = tab;
  const AliveToken::Watch alive = alive_.watch();
  tab->storedWebView()->findUnsentInput([this, weakTab, alive](std::optional<bool> unsent) {
    auto tab = weakTab.lock();
    // A page that could not tell may hold input too.
    if (alive.expired() || !tab || unsent != false) return;
    // The page had turns of its own meanwhile: it may have been shown or begun to play.
    if (isShown(tab) || !tab->mayGiveUpPage()) return;
    tab->page.sleep(TabWebView::WithoutList::keepView);
  });
}

}  // namespace zemblo
