#pragma once

// What the benchmarks run under a display share: a browser window of its own store, the main
// loop run for a while or until something holds, and the time each frame of a window takes.

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "model/browser_store.h"
#include "platform/user_defaults.h"
#include "web/web_engine.h"
#include "window/browser_window.h"

namespace zemblo::bench {

using Clock = std::chrono::steady_clock;

inline void runFor(std::chrono::milliseconds span) {
  const auto end = Clock::now() + span;
  while (Clock::now() < end) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
}

inline bool runUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
  }
  return true;
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
  double percentile(double p) const {
    if (costs_.empty()) return 0;
    std::vector<double> sorted = costs_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, size_t(p * sorted.size()))];
  }

 private:
  GdkFrameClock* clock_;
  gulong begin_ = 0, end_ = 0, paint_ = 0;
  Clock::time_point started_;
  bool painted_ = false;
  std::vector<double> costs_;
};

struct Browser {
  Browser(const std::filesystem::path& defaultsFile, std::shared_ptr<WebEngine> engine)
      : defaults(defaultsFile) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    store = BrowserStore::create(std::move(engine), std::move(environment));
    window = std::make_unique<BrowserWindow>(*store);
    window->set_default_size(1200, 800);
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
