#pragma once

// What the benchmarks run under a display share: a browser window of its own store, the main
// loop run for a while or until something holds, and the time each frame of a window takes.

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "damage_meter.h"
#include "model/browser_store.h"
#include "platform/user_defaults.h"
#include "web/store_environment.h"
#include "web/web_engine.h"
#include "window/browser_window.h"

namespace zemblo::bench {

using Clock = std::chrono::steady_clock;

// The main loop waits for its events as the browser's does, so that the time it is busy is the
// window's own; a timer wakes it to check the end.
inline bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  const guint wake = g_timeout_add(
      20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = false;
  while (!(held = done()) && Clock::now() < end) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(wake);
  return held;
}

inline void runFor(std::chrono::milliseconds span) {
  runUntil([] { return false; }, span);
}

// CPU time of the calling thread so far, in seconds: on the main thread, what the interface itself
// spends, apart from the engine's threads and the machine's other load.
inline double threadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(p * values.size()))];
}

inline double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The time from the start of each frame of a window to the end of its painting.
class FrameTimer {
 public:
  explicit FrameTimer(Gtk::Window& window) {
    clock_ = window.get_frame_clock()->gobj();
    begin_ = g_signal_connect(
        clock_, "before-paint",
        G_CALLBACK(+[](GdkFrameClock*, FrameTimer* self) { self->started_ = Clock::now(); }), this);
    end_ = g_signal_connect_after(
        clock_, "after-paint", G_CALLBACK(+[](GdkFrameClock*, FrameTimer* self) {
          if (!self->painted_) return;
          self->painted_ = false;
          self->costs_.push_back(
              std::chrono::duration<double, std::milli>(Clock::now() - self->started_).count());
        }),
        this);
    paint_ = g_signal_connect(
        clock_, "paint",
        G_CALLBACK(+[](GdkFrameClock*, FrameTimer* self) { self->painted_ = true; }), this);
  }
  ~FrameTimer() {
    g_signal_handler_disconnect(clock_, begin_);
    g_signal_handler_disconnect(clock_, end_);
    g_signal_handler_disconnect(clock_, paint_);
  }
  void reset() { costs_.clear(); }
  size_t frames() const { return costs_.size(); }
  double mean() const {
    return costs_.empty() ? 0 : std::accumulate(costs_.begin(), costs_.end(), 0.0) / costs_.size();
  }
  double percentile(double p) const { return bench::percentile(costs_, p); }

 private:
  GdkFrameClock* clock_;
  gulong begin_ = 0, end_ = 0, paint_ = 0;
  Clock::time_point started_;
  bool painted_ = false;
  std::vector<double> costs_;
};

// What a window costs while something moves in it: how many frames it paints, the intervals
// between the frames of its clock (which fall on the refresh period while every frame is on
// time), how long each painted frame takes, the share of the time the main thread is busy, and
// how much of the window each painted frame redraws.
class FrameMeter {
 public:
  struct Result {
    size_t frames = 0;  // painted
    double seconds = 0, p50 = 0, p95 = 0, p99 = 0, paintP95 = 0, busy = 0, process = 0,
           damagedPerFrame = 0, damagedShare = 0;
  };

  explicit FrameMeter(Gtk::Window& window) : window_(window), damage_(window) {
    clock_ = window.get_frame_clock()->gobj();
    connect(
        "before-paint", +[](GdkFrameClock* clock, FrameMeter* self) {
          self->frameTimes_.push_back(gdk_frame_clock_get_frame_time(clock));
          self->painting_ = false;
          self->frameStarted_ = Clock::now();
        });
    connect(
        "paint", +[](GdkFrameClock*, FrameMeter* self) { self->painting_ = true; });
    handlers_.push_back(g_signal_connect_after(
        clock_, "after-paint", G_CALLBACK(+[](GdkFrameClock*, FrameMeter* self) {
          if (!self->painting_) return;
          self->paintCosts_.push_back(
              std::chrono::duration<double, std::milli>(Clock::now() - self->frameStarted_)
                  .count());
        }),
        this));
  }
  ~FrameMeter() {
    for (gulong handler : handlers_) g_signal_handler_disconnect(clock_, handler);
  }

  void start() {
    frameTimes_.clear();
    paintCosts_.clear();
    damage_.reset();
    started_ = Clock::now();
    cpu_ = threadCpuSeconds();
    processCpu_ = processCpuSeconds();
  }

  Result finish() {
    Result result;
    result.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    result.busy = (threadCpuSeconds() - cpu_) / result.seconds;
    result.process = (processCpuSeconds() - processCpu_) / result.seconds;
    result.frames = paintCosts_.size();
    std::vector<double> intervals;
    for (size_t i = 1; i < frameTimes_.size(); ++i) {
      intervals.push_back(double(frameTimes_[i] - frameTimes_[i - 1]) / 1000.0);
    }
    result.p50 = percentile(intervals, 0.5);
    result.p95 = percentile(intervals, 0.95);
    result.p99 = percentile(intervals, 0.99);
    result.paintP95 = percentile(paintCosts_, 0.95);
    const double area = double(window_.get_width()) * window_.get_height();
    if (result.frames > 0 && damage_.available()) {
      result.damagedPerFrame = damage_.pixels() / double(result.frames);
      result.damagedShare = area > 0 ? result.damagedPerFrame / area : 0;
    }
    return result;
  }

  static void printHeader() {
    std::printf("%-30s %6s %6s %6s %6s %6s %6s %6s %8s %7s %7s\n", "", "frames", "fps", "p50",
                "p95", "p99", "paint", "busy", "px/frame", "window", "process");
    std::printf("%-30s %6s %6s %6s %6s %6s %6s %6s %8s %7s %7s\n", "", "painted", "", "ms", "ms",
                "ms", "p95 ms", "", "", "", "CPU");
  }
  static void print(const char* name, const Result& r) {
    std::printf("%-30s %6zu %6.1f %6.1f %6.1f %6.1f %6.1f %5.1f%% %8.0f %6.2f%% %6.1f%%\n", name,
                r.frames, r.seconds > 0 ? double(r.frames) / r.seconds : 0, r.p50, r.p95, r.p99,
                r.paintP95, 100 * r.busy, r.damagedPerFrame, 100 * r.damagedShare, 100 * r.process);
    std::fflush(stdout);
  }

 private:
  template <class Handler>
  void connect(const char* signal, Handler handler) {
    handlers_.push_back(g_signal_connect(clock_, signal, G_CALLBACK(handler), this));
  }

  Gtk::Window& window_;
  DamageMeter damage_;
  GdkFrameClock* clock_;
  std::vector<gulong> handlers_;
  std::vector<gint64> frameTimes_;
  std::vector<double> paintCosts_;
  bool painting_ = false;
  Clock::time_point started_, frameStarted_;
  double cpu_ = 0, processCpu_ = 0;
};

struct Browser {
  Browser(const std::filesystem::path& defaultsFile, std::shared_ptr<WebEngine> engine)
      : defaults(defaultsFile) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    connectWebEngine(environment, std::move(engine));
    store = BrowserStore::create(std::move(environment));
    // The window opens at its own first size, as the browser's does.
    window = std::make_unique<BrowserWindow>(*store);
    window->present();
  }
  UserDefaults defaults;
  std::shared_ptr<BrowserStore> store;
  std::unique_ptr<BrowserWindow> window;
};

constexpr const char* kAnimatedPage =
    "data:text/html,<title>0</title><style>div{width:300px;height:300px;"
    "background:linear-gradient(red,blue);animation:s 2s linear infinite}"
    "@keyframes s{to{transform:rotate(360deg)}}</style><div></div><script>"
    "let n=0;(function f(){n++;requestAnimationFrame(f)})();"
    "setInterval(()=>{document.title=String(n);n=0},1000)</script>";

// The toolkit started as the browser starts it, and one web engine whose data stays in `home`.
inline std::shared_ptr<WebEngine> startToolkitAndEngine(const std::filesystem::path& home) {
  gtk_init();
  Gtk::init_gtkmm_internals();
  adw_init();
  return std::make_shared<WebEngine>(WebEngine::Folders{home / "web-data", home / "web-cache"});
}

}  // namespace zemblo::bench
