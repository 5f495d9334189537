// How smoothly a long light article scrolls in the browser window with page dark mode off and
// darkened, in turns: the page scrolls a little on every one of its animation frames for a few
// seconds, and the intervals between those frames are what it gets (the engine paces them by
// how fast it composites). The browser window's own frames are measured alongside. Pages are
// composited as the browser would on this machine (on the CPU where GL is software only).
//
//   zemblo_page_scroll_cost [SECONDS [ROUNDS]]
// Run it under a display of 1440 × 920, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/bench/bench/zemblo_page_scroll_cost

#include <webkit/webkit.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../page_function.h"
#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "web/webkit_web_view_port.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;

// Scrolls down and up again by 8 points a frame for `seconds`; the intervals between the page's
// animation frames, in milliseconds, separated by spaces.
std::string scrollScript(int seconds) {
  return "const intervals = []; let last = 0, direction = 1; const end = performance.now() + " +
         std::to_string(seconds * 1000) +
         "; await new Promise((done) => { const step = (time) => {"
         " if (last) intervals.push(time - last); last = time;"
         " const bottom = document.documentElement.scrollHeight - innerHeight;"
         " if (scrollY >= bottom - 8) direction = -1; if (scrollY <= 0) direction = 1;"
         " scrollBy(0, 8 * direction);"
         " if (time < end) requestAnimationFrame(step); else done(); };"
         " requestAnimationFrame(step); });"
         " return intervals.map((i) => i.toFixed(2)).join(' ');";
}

std::vector<double> numbers(const std::string& text) {
  std::vector<double> values;
  std::istringstream in(text);
  for (double v; in >> v;) values.push_back(v);
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  PageServer server(1);
  auto tab = store.tabs().openTab(server.articleAddress(), false);
  if (!runUntil([&] { return tab->title.peek() == "Article" && !tab->isLoading.peek(); },
                std::chrono::seconds(60))) {
    std::fprintf(stderr, "the article did not load\n");
    return 1;
  }
  WebKitWebView* view = dynamic_cast<WebKitWebViewPort&>(*tab->storedWebView()).webView();
  std::printf("window %d × %d, %d s of scrolling per measurement\n", browser.window->get_width(),
              browser.window->get_height(), seconds);
  std::printf("%-10s %26s    %34s\n", "", "the page's animation frames",
              "the browser window's painted frames");
  std::printf("%-10s %6s %6s %6s %6s    %6s %6s %6s %6s %6s\n", "page", "frames", "p50", "p95",
              "p99", "fps", "p50", "p95", "p99", "busy");
  std::vector<double> all[2];
  for (int round = 0; round < rounds; ++round) {
    for (int dark = 0; dark < 2; ++dark) {
      store.preferences().updatePrefs([&](AppPreferences& p) {
        p.pageDarkMode = dark ? PageDarkMode::always : PageDarkMode::off;
      });
      const bool darkened = runUntil(
          [&] {
            return callPageFunction(view,
                                    "return document.documentElement.classList.contains("
                                    "'zemblo-dark-invert')") == (dark ? "true" : "false");
          },
          std::chrono::seconds(10));
      if (!darkened) std::fprintf(stderr, "the page did not take its mode\n");
      runFor(std::chrono::milliseconds(500));
      FrameMeter meter(*browser.window);
      meter.start();
      const auto intervals = numbers(callPageFunction(view, scrollScript(seconds)).value_or(""));
      const FrameMeter::Result window = meter.finish();
      all[dark].insert(all[dark].end(), intervals.begin(), intervals.end());
      std::printf("%-10s %6zu %6.1f %6.1f %6.1f    %6.1f %6.1f %6.1f %6.1f %5.1f%%\n",
                  dark ? "darkened" : "light", intervals.size(), percentile(intervals, 0.5),
                  percentile(intervals, 0.95), percentile(intervals, 0.99),
                  double(window.frames) / window.seconds, window.p50, window.p95, window.p99,
                  100 * window.busy);
      std::fflush(stdout);
    }
  }
  const double light = percentile(all[0], 0.5), darkened = percentile(all[1], 0.5);
  std::printf("median frame interval: light %.1f ms, darkened %.1f ms (%.2f ×); p95 %.1f / %.1f\n",
              light, darkened, light > 0 ? darkened / light : 0, percentile(all[0], 0.95),
              percentile(all[1], 0.95));
  return 0;
}
