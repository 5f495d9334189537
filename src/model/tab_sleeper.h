#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <sigc++/sigc++.h>

#include "platform/alive_token.h"
#include "platform/memory_pressure.h"
#include "platform/observable.h"
#include "platform/scheduler.h"

namespace zemblo {

class BrowserTab;
class BrowserWindows;
class PreferencesModel;

// Decides which tabs give up their page's process, and when: a tab not shown for the delay the
// preferences set, and under the system's memory warnings the tabs shown least recently first.
// The shown tab never sleeps, nor a tab that would lose something (see
// BrowserTab::mayGiveUpPage), nor one whose page holds input not yet sent.
class TabSleeper {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // Tabs are looked at this often at most, and at least four times in one delay.
  static constexpr std::chrono::seconds kLongestCheckInterval{60};
  // A delay in seconds that replaces the preference's (which must not be off), for measuring.
  static constexpr const char* kDelayVariable = "ZEMBLO_TAB_SLEEP_SECONDS";

  // Each open window's selected tab is shown; `windows` outlives the sleeper.
  TabSleeper(const BrowserWindows& windows, const PreferencesModel& preferences,
             Scheduler& scheduler, MemoryPressure& pressure, Clock now);
  ~TabSleeper();
  TabSleeper(const TabSleeper&) = delete;
  TabSleeper& operator=(const TabSleeper&) = delete;

  // Nothing while tabs never sleep for their rest alone.
  std::optional<std::chrono::milliseconds> delay() const;
  // A window opened or closed: its shown tab changes what may sleep.
  void windowsChanged() { sync(); }
  // A low or medium warning puts to sleep the half of the resting tabs shown least recently (one
  // at least), a critical one all of them.
  void relieve(MemoryPressureLevel level);

 private:
  using TimePoint = std::chrono::steady_clock::time_point;
  struct Rest {
    std::weak_ptr<BrowserTab> tab;
    TimePoint lastShown;
  };

  void sync();
  void forgetClosedTabs();
  void check();
  void armCheck();
  std::vector<std::shared_ptr<BrowserTab>> shownTabs() const;
  bool isShown(const std::shared_ptr<BrowserTab>& tab) const;
  // The tabs that may sleep now, shown least recently first.
  std::vector<std::shared_ptr<BrowserTab>> restingTabs();
  TimePoint lastShown(const std::shared_ptr<BrowserTab>& tab);
  void putToSleep(const std::shared_ptr<BrowserTab>& tab);

  const BrowserWindows& windows_;
  const PreferencesModel& preferences_;
  Scheduler& scheduler_;
  Clock now_;
  std::optional<std::chrono::seconds> delayOverride_;
  std::unordered_map<const BrowserTab*, Rest> rests_;
  std::vector<std::weak_ptr<BrowserTab>> shown_;
  std::optional<std::chrono::milliseconds> armedDelay_;
  std::unique_ptr<ScheduledTask> check_;
  sigc::connection pressure_;
  // Tells the pages' answers whether this object still exists.
  AliveToken alive_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
