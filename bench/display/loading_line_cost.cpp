// What the loading line costs each frame of the browser window while the page below it keeps
// repainting: the frame times of a window whose tab shows an animated page and is loading, with
// the line drawn and with it hidden, in turns. The renderer is the one the browser would choose
// on this machine (GTK's software renderer where GL is software only).
//
// Run under a display, for example (the argument: seconds per measurement):
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/dev/bench/zemblo_loading_line_cost 5

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>

#include <cstdio>
#include <cstdlib>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

int main(int argc, char** argv) {
  using namespace zemblo;
  using namespace zemblo::bench;
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  ScratchHome home;
  auto engine = startToolkitAndEngine(home.root);
  Browser browser(home.root / "defaults.json", engine);
  auto tab = browser.store->tabs().openTab(*Url::parse(kAnimatedPage), false);
  const bool animating = runUntil(
      [&] {
        return browser.window->get_mapped() && tab->title.peek() != "0" &&
               !tab->title.peek().empty();
      },
      std::chrono::seconds(30));
  if (!animating) {
    std::fprintf(stderr, "the animated page did not start\n");
    return 1;
  }
  // A load that goes on: the line stands half way.
  tab->isLoading.set(true);
  tab->progress.set(0.5);

  GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(browser.window->gobj()));
  std::printf("renderer: %s, %d s per measurement\n", G_OBJECT_TYPE_NAME(renderer), seconds);
  std::printf("%-10s %14s %14s %8s\n", "line", "frame ms mean", "frame ms p95", "frames");
  FrameTimer timer(*browser.window);
  double mean[2] = {0, 0};
  const int rounds = 3;
  for (int round = 0; round < rounds; ++round) {
    for (int shown = 0; shown < 2; ++shown) {
      browser.store->preferences().updatePrefs([&](AppPreferences& p) {
        p.progressStyle = shown ? ProgressStyle::gradient : ProgressStyle::hidden;
      });
      runFor(std::chrono::milliseconds(600));  // past the fade
      timer.reset();
      runFor(std::chrono::seconds(seconds));
      mean[shown] += timer.mean() / rounds;
      std::printf("%-10s %14.2f %14.2f %8zu\n", shown ? "glowing" : "hidden", timer.mean(),
                  timer.percentile(0.95), timer.frames());
    }
  }
  std::printf("the line's cost per frame, mean of %d rounds: %.2f ms (%.2f with, %.2f without)\n",
              rounds, mean[1] - mean[0], mean[1], mean[0]);
  return 0;
}
