// What tabs left alone cost: tabs are opened one after another on local pages, each shown until
// its page has loaded, and then left. The memory of the browser's process and of every process
// it started is read with them all awake (sleeping is off while they open, as it was before tabs
// slept), then after they have rested past their sleep delay (short here: the delay of the
// preference is replaced for the run), or, with sleeping left off, after a critical memory
// warning like the system's.
//
//   zemblo_resting_tab_memory [TABS [SECONDS | --warning]]
//     TABS       how many tabs (default 100)
//     SECONDS    how long a tab rests unseen before it sleeps (default 20)
//     --warning  a critical memory warning instead of the rest
// Run it under a display, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/release/bench/zemblo_resting_tab_memory 100

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "model/tab_sleeper.h"
#include "platform/memory_pressure.h"
#include "process_footprint.h"

using namespace zemblo;
using namespace zemblo::bench;

namespace {

size_t sleepingTabs(BrowserStore& store) {
  size_t count = 0;
  for (const auto& tab : store.tabs().currentSpace()->tabs.peek()) count += tab->page.isAsleep();
  return count;
}

void report(const char* when, BrowserStore& store, const Footprint& base) {
  printFootprint(when, footprint(), base, 0);
  std::printf("%-10s %zu tabs asleep\n", "", sleepingTabs(store));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int tabs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
  const bool warning = argc > 2 && std::string(argv[2]) == "--warning";
  const int seconds = argc > 2 && !warning ? std::max(1, std::atoi(argv[2])) : 20;
  setenv(TabSleeper::kDelayVariable, std::to_string(seconds).c_str(), 1);
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  PageServer server(50);
  const auto sleepAfter = [&](TabSleepDelay delay) {
    store.preferences().updatePrefs([delay](AppPreferences& p) { p.tabSleepDelay = delay; });
  };
  sleepAfter(TabSleepDelay::off);
  runFor(std::chrono::seconds(2));
  const Footprint base = footprint();
  printFootprint("start", base, base, 0);

  for (int n = 1; n <= tabs; ++n) {
    auto tab = store.tabs().openTab(server.address(n), false);
    const std::string title = "Page " + std::to_string(n);
    if (!runUntil([&] { return tab->title.peek() == title && !tab->isLoading.peek(); },
                  std::chrono::seconds(30))) {
      std::fprintf(stderr, "page %d did not load\n", n);
    }
    runFor(std::chrono::milliseconds(100));
  }
  runFor(std::chrono::seconds(2));
  report("awake", store, base);

  const auto allButShownAsleep = [&] { return sleepingTabs(store) >= size_t(tabs - 1); };
  if (warning) {
    MemoryPressure::system().warn(MemoryPressureLevel::critical);
    runUntil(allButShownAsleep, std::chrono::seconds(60));
    runFor(std::chrono::seconds(5));
    report("critical", store, base);
    return 0;
  }
  // Every tab but the one shown has rested past the delay by now: each sleeps at the first look.
  sleepAfter(TabSleepDelay::quarterHour);
  runUntil(allButShownAsleep, std::chrono::seconds(seconds + seconds / 4 + 30));
  runFor(std::chrono::seconds(5));
  report("rested", store, base);
  return 0;
}
