// What closed tabs leave behind: tabs are opened one after another on local pages (each with its
// own title, text, picture and icon), each shown until its page has loaded, then closed. The
// proportional and the private set size of the browser's process and every process it started
// are read before, every 50 tabs and at the end, with the share of each kind of process and their
// number.
//
//   zemblo_closed_tab_memory [TABS [SITES | --empty | --together]]
//     TABS   how many tabs (default 300)
//     SITES  how many sites the pages come from in turn, each a loopback address of its own
//            (default 50)
//     --empty  start pages instead
//     --together  all the tabs open at once (on 50 sites), then all closed; read at once and
//                 30 s later
// Run it under a display, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/bench/bench/zemblo_closed_tab_memory 300

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "process_footprint.h"

using namespace zemblo;
using namespace zemblo::bench;

namespace {

// All the tabs open at once, each shown until its page has loaded, then all closed; what they
// leave is read at once and 30 seconds later.
int openTogetherThenClose(BrowserStore& store, const PageServer& server, int tabs,
                          const Footprint& base) {
  std::vector<std::shared_ptr<BrowserTab>> open;
  for (int n = 1; n <= tabs; ++n) {
    auto tab = store.tabs().openTab(server.address(1000 + n), false);
    const std::string title = "Page " + std::to_string(1000 + n);
    if (!runUntil([&] { return tab->title.peek() == title && !tab->isLoading.peek(); },
                  std::chrono::seconds(30))) {
      std::fprintf(stderr, "page %d did not load\n", n);
    }
    open.push_back(std::move(tab));
  }
  runFor(std::chrono::seconds(2));
  printFootprint("open", footprint(), base, 0);
  for (const auto& tab : open) store.tabs().closeTab(*tab);
  open.clear();
  runFor(std::chrono::seconds(2));
  printFootprint("closed", footprint(), base, tabs);
  runFor(std::chrono::seconds(28));
  const Footprint after = footprint();
  printFootprint("after 30 s", after, base, tabs);
  std::printf("left after 30 s: PSS %+.1f MB, private %+.1f MB, written %+.1f MB (",
              (after.total() - base.total()) / 1024,
              (after.privateKilobytes - base.privateKilobytes) / 1024,
              (after.written() - base.written()) / 1024);
  for (const auto& [kind, kb] : after.writtenKilobytes) {
    const auto before = base.writtenKilobytes.find(kind);
    std::printf(" %s %+.1f", kind.c_str(),
                (kb - (before == base.writtenKilobytes.end() ? 0 : before->second)) / 1024);
  }
  std::printf(" )\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int tabs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  const bool empty = argc > 2 && std::string(argv[2]) == "--empty";
  const bool together = argc > 2 && std::string(argv[2]) == "--together";
  const int sites = argc > 2 && !empty && !together ? std::max(1, std::atoi(argv[2])) : 50;
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  PageServer server(sites);
  // The start page shown once every tab is closed stays still: the frames of its animation would
  // otherwise hold heap of their own, more at one moment than at another.
  if (together) store.preferences().updatePrefs([](AppPreferences& p) { p.reduceMotion = true; });
  const auto openAndClose = [&](int n) {
    std::shared_ptr<BrowserTab> tab;
    if (empty) {
      store.tabs().newTab();
      tab = store.tabs().currentSpace()->selectedTab();
    } else {
      tab = store.tabs().openTab(server.address(n), false);
      const std::string title = "Page " + std::to_string(n);
      if (!runUntil([&] { return tab->title.peek() == title && !tab->isLoading.peek(); },
                    std::chrono::seconds(30))) {
        std::fprintf(stderr, "page %d did not load\n", n);
      }
    }
    runFor(std::chrono::milliseconds(100));
    store.tabs().closeTab(*tab);
  };
  // The first pages start the engine's processes; the measure starts from there.
  for (int n = 0; n < 3; ++n) openAndClose(n);
  // Read as the end is read: the tabs together are measured after the same 30 s.
  runFor(std::chrono::seconds(together ? 30 : 3));
  const Footprint base = footprint();
  printFootprint("start", base, base, 0);
  if (together) return openTogetherThenClose(store, server, tabs, base);
  for (int n = 1; n <= tabs; ++n) {
    openAndClose(1000 + n);
    if (n % 50 == 0 || n == tabs) {
      runFor(std::chrono::seconds(2));
      printFootprint(std::to_string(n).c_str(), footprint(), base, n);
    }
  }
  runFor(std::chrono::seconds(5));
  printFootprint("settled", footprint(), base, tabs);
  std::printf("history %zu entries, closed tabs kept %zu\n", store.history().entries.peek().size(),
              store.tabs().closedTabs.size());
  return 0;
}
