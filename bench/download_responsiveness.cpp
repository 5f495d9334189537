// How the browser window keeps up while a large download runs. A tick callback asks for a frame
// on every turn of the window's frame clock, so the clock never idles, and records the intervals
// between frames: first with a page shown, then while a download started from that page's tab
// runs with the downloads list open. The progress updates and the transfer are measured too.
//
//   download_responsiveness [BYTES [RATE]] [--still]
//     BYTES    size of the download (default 1 GiB)
//     RATE     bytes a second the server sends (default: as fast as it goes)
//     --still  hides the downloads button, whose pulse repaints the window on every frame, so
//              that what remains is the cost of the download itself
// Run it under a display (e.g. inside scripts/lib/test-session.sh).
#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "app/view_models.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/download_manager.h"
#include "model/window_model.h"
#include "platform/user_defaults.h"
#include "scratch_home.h"
#include "sidebar/downloads_button.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"
#include "web/favicon_loader.h"
#include "web/web_engine.h"
#include "widgets/system_color_scheme.h"
#include "window/browser_window.h"

namespace zemblo {
namespace {

using Clock = std::chrono::steady_clock;

struct Frames {
  std::vector<double> intervalsMs;
  gint64 last = 0;
  bool recording = false;
};

gboolean onTick(GtkWidget* widget, GdkFrameClock* clock, gpointer data) {
  auto& frames = *static_cast<Frames*>(data);
  const gint64 now = gdk_frame_clock_get_frame_time(clock);
  if (frames.recording && frames.last) frames.intervalsMs.push_back((now - frames.last) / 1000.0);
  frames.last = now;
  gtk_widget_queue_draw(widget);
  return G_SOURCE_CONTINUE;
}

// CPU time of the calling (main) thread so far, in seconds: what the interface itself spends,
// apart from the machine's other load.
double mainThreadSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

void report(const char* phase, const std::vector<double>& intervals) {
  const double mean = intervals.empty() ? 0
                                        : std::accumulate(intervals.begin(), intervals.end(), 0.0) /
                                              static_cast<double>(intervals.size());
  const auto over = [&](double ms) {
    return std::count_if(intervals.begin(), intervals.end(), [&](double v) { return v > ms; });
  };
  std::printf(
      "%-9s frames %6zu  interval mean %5.1f ms  p50 %5.1f  p95 %5.1f  p99 %5.1f  max %6.1f  "
      ">33 ms %ld  >50 ms %ld\n",
      phase, intervals.size(), mean, percentile(intervals, 0.5), percentile(intervals, 0.95),
      percentile(intervals, 0.99), percentile(intervals, 1.0), over(33), over(50));
}

// Runs the main loop for `duration`, or until `done` holds.
void runFor(std::chrono::milliseconds duration, const std::function<bool()>& done = {}) {
  const auto end = Clock::now() + duration;
  while (Clock::now() < end && !(done && done())) g_main_context_iteration(nullptr, TRUE);
}

DownloadsButton& downloadsButton(BrowserWindow& window) {
  return testing::widgetNamed<DownloadsButton>(window.sidebarView(), "DownloadsButton");
}

int run(long long bytes, long long rate, bool still) {
  bench::ScratchHome home;
  setenv("HOME", home.root.c_str(), 1);
  gtk_init();
  Gtk::init_gtkmm_internals();
  adw_init();

  char python[] = "python3", script[] = ZEMBLO_DOWNLOAD_SERVER, anyPort[] = "0";
  char* serverArgv[] = {python, script, anyPort, nullptr};
  GPid server = 0;
  int serverOutput = -1;
  if (!g_spawn_async_with_pipes(nullptr, serverArgv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                &server, nullptr, &serverOutput, nullptr, nullptr)) {
    std::fprintf(stderr, "cannot start the download server\n");
    return 1;
  }
  char port[16] = {};
  if (read(serverOutput, port, sizeof port - 1) <= 0) return 1;

  UserDefaults defaults(home.root / "user-defaults.json");
  auto engine = std::make_shared<WebEngine>(
      Scheduler::mainLoop(), WebEngine::Folders{home.root / "web-data", home.root / "web-cache"});
  BrowserStoreEnvironment environment;
  environment.defaults = &defaults;
  auto store = BrowserStore::create(engine, std::move(environment));
  const SystemColorScheme colorScheme;
  FaviconLoader favicons;
  auto window = std::make_unique<BrowserWindow>(browserWindowModels(*store, store->tabs()),
                                                favicons, Scheduler::mainLoop(), colorScheme);
  window->present();
  Frames frames;
  gtk_widget_add_tick_callback(GTK_WIDGET(window->gobj()), onTick, &frames, nullptr);
  // The same page is shown before and while the download runs, which starts from its tab.
  const std::string origin = "http://127.0.0.1:" + std::to_string(std::atoi(port));
  auto tab = store->tabs().openTab(*Url::parse(origin + "/"), false);
  runFor(std::chrono::seconds(20), [&] { return tab->title.peek() == "Downloads"; });
  runFor(std::chrono::milliseconds(1500));
  downloadsButton(*window).toggle();

  frames.recording = true;
  double cpu = mainThreadSeconds();
  runFor(std::chrono::milliseconds(3000));
  report("page", frames.intervalsMs);
  std::printf("page      main thread busy %.0f %% of the time\n",
              (mainThreadSeconds() - cpu) / 3.0 * 100);
  frames.intervalsMs.clear();

  const std::string url = origin + (rate ? "/slow?rate=" + std::to_string(rate) + "&" : "/big?") +
                          "bytes=" + std::to_string(bytes);
  const auto started = Clock::now();
  cpu = mainThreadSeconds();
  tab->load(*Url::parse(url));
  DownloadManager& downloads = store->downloads();
  runFor(std::chrono::seconds(30), [&] { return !downloads.items.peek().empty(); });
  if (downloads.items.peek().empty()) {
    std::fprintf(stderr, "the download did not start\n");
    return 1;
  }
  auto item = downloads.items.peek().front();
  // Without the button's pulse, what remains is the download's own cost to the interface.
  if (still) downloadsButton(*window).set_visible(false);
  std::vector<double> updateTimes;
  sigc::connection updates = item->progress.signalChanged().connect([&] {
    updateTimes.push_back(std::chrono::duration<double>(Clock::now() - started).count());
  });
  runFor(std::chrono::minutes(5),
         [&] { return item->state.peek() != DownloadItem::State::downloading; });
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  report("download", frames.intervalsMs);
  std::printf("download  main thread busy %.0f %% of the time\n",
              (mainThreadSeconds() - cpu) / seconds * 100);
  updates.disconnect();

  double fastest = 1e9;
  for (size_t i = 1; i < updateTimes.size(); ++i) {
    fastest = std::min(fastest, updateTimes[i] - updateTimes[i - 1]);
  }
  std::error_code error;
  const auto size =
      item->destination.peek() ? std::filesystem::file_size(*item->destination.peek(), error) : 0;
  std::printf(
      "download  %s, %lld bytes expected, %ju on disk, %.1f s (%.0f MB/s)\n"
      "progress  %zu updates (%.1f per second), shortest gap %.0f ms\n",
      item->state.peek() == DownloadItem::State::finished ? "finished" : "FAILED", bytes,
      static_cast<uintmax_t>(size), seconds, bytes / seconds / 1e6, updateTimes.size(),
      updateTimes.size() / seconds, fastest * 1000);

  window.reset();
  store.reset();
  kill(server, SIGTERM);
  g_spawn_close_pid(server);
  return item->state.peek() == DownloadItem::State::finished &&
                 size == static_cast<uintmax_t>(bytes)
             ? 0
             : 1;
}

}  // namespace
}  // namespace zemblo

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool still = std::erase(args, "--still") > 0;
  return zemblo::run(args.size() > 0 ? std::atoll(args[0].c_str()) : (1LL << 30),
                     args.size() > 1 ? std::atoll(args[1].c_str()) : 0, still);
}
