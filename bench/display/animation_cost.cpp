// What each animation of the browser window costs while it runs: frames painted and their
// intervals, the share of the time the main thread is busy, the whole process's CPU and how much
// of the window each frame redraws, beside a still page for reference. The window opens at its
// first size and draws with the renderer the browser would choose on this machine.
//
//   zemblo_animation_cost [SECONDS [NAME...]]   SECONDS per measurement (default 5); NAMEs pick
//                                               measurements by the start of their names
// Run it under a display of 1440 × 920, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//   build/bench/bench/zemblo_animation_cost

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../scratch_home.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "model/download_manager.h"
#include "sidebar/downloads_button.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;

// A page that stays still once loaded.
constexpr const char* kStillPage =
    "<!doctype html><title>Still</title><body style='font:16px sans-serif;margin:40px'>"
    "<h1>Still</h1><p>Nothing on this page moves.</p></body>";

class DownloadServer {
 public:
  DownloadServer() {
    char python[] = "python3", script[] = ZEMBLO_DOWNLOAD_SERVER, anyPort[] = "0";
    char* argv[] = {python, script, anyPort, nullptr};
    if (!g_spawn_async_with_pipes(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                  &pid_, nullptr, &output_, nullptr, nullptr)) {
      return;
    }
    // The port's line may come in more than one write; the pipe stays open while the server runs.
    std::string line;
    char c = 0;
    while (read(output_, &c, 1) == 1 && c != '\n') line += c;
    origin_ = "http://127.0.0.1:" + std::to_string(std::atoi(line.c_str()));
  }
  ~DownloadServer() {
    if (!pid_) return;
    kill(pid_, SIGTERM);
    g_spawn_close_pid(pid_);
    close(output_);
  }
  const std::string& origin() const { return origin_; }

 private:
  GPid pid_ = 0;
  int output_ = -1;
  std::string origin_;
};

}  // namespace

int main(int argc, char** argv) {
  auto run = Measurements::fromArguments(argc, argv);
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  DownloadServer server;
  auto tab = store.tabs().openTab(*Url::parse(std::string("data:text/html,") + kStillPage), false);
  if (!runUntil([&] { return browser.window->get_mapped() && tab->title.peek() == "Still"; },
                std::chrono::seconds(30))) {
    std::fprintf(stderr, "the page did not load\n");
    return 1;
  }
  runFor(std::chrono::seconds(1));
  GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(browser.window->gobj()));
  std::printf("renderer %s, window %d × %d, %d s per measurement\n", G_OBJECT_TYPE_NAME(renderer),
              browser.window->get_width(), browser.window->get_height(), run.seconds());
  FrameMeter::printHeader();

  run.measure(*browser.window, "page, still");

  if (run.wanted("download") && !server.origin().empty()) {
    // About as fast as a good line: it runs well past the measurements.
    tab->load(*Url::parse(server.origin() + "/slow?rate=4000000&bytes=4000000000"));
    DownloadManager& downloads = store.downloads();
    if (runUntil([&] { return downloads.runningCount() > 0; }, std::chrono::seconds(60))) {
      runFor(std::chrono::seconds(1));
      run.measure(*browser.window, "download, list closed");
      auto& button = zemblo::testing::widgetNamed<DownloadsButton>(browser.window->sidebarView(),
                                                                   "DownloadsButton");
      button.toggle();
      run.measure(*browser.window, "download, list open");
      button.toggle();
      downloads.cancelAll();
    } else {
      std::fprintf(stderr, "the download did not start\n");
    }
    runUntil([&] { return tab->title.peek() == "Still"; }, std::chrono::seconds(5));
  }

  run.measure(*browser.window, "loading line", [&](double t) {
    // Progress as the engine reports it: a few steps a second, then a new load.
    const double cycle = std::fmod(t, 3.0);
    tab->isLoading.set(cycle < 2.5);
    tab->progress.set(std::floor(cycle * 4) / 10);
  });
  tab->isLoading.set(false);

  // Each spring is set off again about when it comes to rest.
  run.measure(*browser.window, "sidebar spring",
              every(0.7, [&](bool hide) { store.tabs().sidebarVisible.set(!hide); }));
  store.tabs().sidebarVisible.set(true);
  run.measure(*browser.window, "find bar spring",
              every(0.5, [&](bool show) { store.tabs().findBarVisible.set(show); }));
  store.tabs().findBarVisible.set(false);

  // Every space shows the same still page, so that what changes is the space's tint, its tabs
  // and which of the same pages is shown.
  if (run.wanted("space")) {
    for (size_t i = 1; i < store.tabs().spaces.peek().size(); ++i) {
      store.tabs().selectAdjacentSpace(true);
      auto other =
          store.tabs().openTab(*Url::parse(std::string("data:text/html,") + kStillPage), false);
      runUntil([&] { return other->title.peek() == "Still"; }, std::chrono::seconds(30));
    }
    store.tabs().selectAdjacentSpace(true);
    runFor(std::chrono::seconds(1));
  }
  run.measure(*browser.window, "space cross-fade",
              every(0.9, [&](bool) { store.tabs().selectAdjacentSpace(true); }));
  while (store.tabs().currentSpace() != store.tabs().spaces.peek().front())
    store.tabs().selectAdjacentSpace(true);
  runFor(std::chrono::seconds(1));
  // The same tint, turned: only the window's background changes.
  run.measure(*browser.window, "tint cross-fade", every(0.9, [&](bool turn) {
    store.preferences().updatePrefs([&](AppPreferences& p) {
      p.gradientDirection = turn ? GradientDirection::vertical : GradientDirection::diagonal;
    });
  }));

  store.tabs().sidebarVisible.set(false);
  runFor(std::chrono::seconds(1));
  run.measure(*browser.window, "peek sidebar", every(0.45, [&](bool show) {
    if (show) {
      browser.window->hoverStripEntered();
    } else {
      browser.window->peekSidebarLeft();
    }
  }));
  store.tabs().sidebarVisible.set(true);
  runFor(std::chrono::seconds(1));

  store.preferences().updatePrefs([](AppPreferences& p) {
    p.startBackground = StartBackground::aurora;
    p.auroraSpeed = 1;
  });
  store.tabs().newTab();
  runFor(std::chrono::seconds(1));
  run.measure(*browser.window, "start page, aurora speed 1");
  return 0;
}
