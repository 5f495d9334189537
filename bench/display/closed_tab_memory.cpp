// What closed tabs leave behind: tabs are opened one after another on local pages (each with its
// own title, text, picture and icon), each shown until its page has loaded, then closed. The
// proportional and the private set size of the browser's process and every process it started
// are read before, every 50 tabs and at the end, with the share of each kind of process and their
// number.
//
//   zemblo_closed_tab_memory [TABS [SITES | --empty]]
//     TABS   how many tabs (default 300)
//     SITES  how many sites the pages come from in turn, each a loopback address of its own
//            (default 50)
//     --empty  start pages instead
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

namespace {

using namespace zemblo;
using namespace zemblo::bench;

// Kilobytes of proportional set size, by the kind of process, and of what no other process on
// the machine shares (private). The proportional size of the libraries' pages falls and rises
// as other programs using them start and end; the private size is this tree's own.
struct Footprint {
  std::map<std::string, double> kilobytes;
  std::map<std::string, int> processes;
  double privateKilobytes = 0;
  double total() const {
    double sum = 0;
    for (const auto& [kind, kb] : kilobytes) sum += kb;
    return sum;
  }
};

std::string processName(int pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

int parentOf(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(text.substr(close + 2));
  std::string state;
  int parent = -1;
  rest >> state >> parent;
  return parent;
}

struct Sizes {
  double pss = 0, uss = 0;
};

Sizes sizesOf(int pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  Sizes sizes;
  while (std::getline(rollup, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, colon);
    const double kb = std::atof(line.c_str() + colon + 1);
    if (key == "Pss") sizes.pss = kb;
    if (key == "Private_Clean" || key == "Private_Dirty") sizes.uss += kb;
  }
  return sizes;
}

// This process and every process below it.
Footprint footprint() {
  std::map<int, int> parents;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const int pid = std::atoi(name.c_str());
    parents[pid] = parentOf(pid);
  }
  std::vector<int> tree{int(getpid())};
  for (size_t i = 0; i < tree.size(); ++i) {
    for (const auto& [pid, parent] : parents) {
      if (parent == tree[i]) tree.push_back(pid);
    }
  }
  Footprint result;
  for (int pid : tree) {
    const Sizes sizes = sizesOf(pid);
    if (sizes.pss <= 0) continue;
    const std::string kind = pid == getpid() ? "browser" : processName(pid);
    result.kilobytes[kind] += sizes.pss;
    result.processes[kind] += 1;
    result.privateKilobytes += sizes.uss;
  }
  return result;
}

void print(const char* when, const Footprint& f, const Footprint& base, int closed) {
  std::printf("%-10s PSS %6.1f MB", when, f.total() / 1024);
  if (closed > 0) std::printf(" %+6.3f MB a tab", (f.total() - base.total()) / 1024 / closed);
  std::printf(", private %6.1f MB", f.privateKilobytes / 1024);
  if (closed > 0) {
    std::printf(" %+6.3f MB a tab", (f.privateKilobytes - base.privateKilobytes) / 1024 / closed);
  }
  for (const auto& [kind, kb] : f.kilobytes) {
    std::printf("  %s×%d %.1f", kind.c_str(), f.processes.at(kind), kb / 1024);
  }
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int tabs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  const bool empty = argc > 2 && std::string(argv[2]) == "--empty";
  const int sites = argc > 2 && !empty ? std::max(1, std::atoi(argv[2])) : 50;
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  PageServer server(sites);
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
  runFor(std::chrono::seconds(3));
  const Footprint base = footprint();
  print("start", base, base, 0);
  for (int n = 1; n <= tabs; ++n) {
    openAndClose(1000 + n);
    if (n % 50 == 0 || n == tabs) {
      runFor(std::chrono::seconds(2));
      print(std::to_string(n).c_str(), footprint(), base, n);
    }
  }
  runFor(std::chrono::seconds(5));
  print("settled", footprint(), base, tabs);
  std::printf("history %zu entries, closed tabs kept %zu\n", store.history().entries.peek().size(),
              store.tabs().closedTabs.size());
  return 0;
}
