#pragma once

// What the benchmarks run under a display share: a browser window of its own store, the main
// loop run for a while or until something holds, and the time each frame of a window takes.

#include <adwaita.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <libsoup/soup.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <variant>
#include <vector>

#include "app/view_models.h"
#include "damage_meter.h"
#include "machine_pause_watch.h"
#include "model/ad_blocker.h"
#include "model/browser_store.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "platform/heap.h"
#include "platform/interface_renderer.h"
#include "platform/user_defaults.h"
#include "web/favicon_loader.h"
#include "web/web_engine.h"
#include "widgets/system_color_scheme.h"
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
//
// Where an input drives the window (a key repeat), `inputs` counts them: each tick of the clock
// is then told apart as painting after an input, painting without one, or painting nothing
// though an input came (a missed frame), and the X server's updates of the window are counted
// from outside. With ZEMBLO_FRAME_LOG naming a file, every tick goes there as a line.
class FrameMeter {
 public:
  struct Result {
    size_t frames = 0;  // painted
    double seconds = 0, p50 = 0, p95 = 0, p99 = 0, longest = 0, paintP95 = 0, busy = 0, process = 0,
           damagedPerFrame = 0, damagedShare = 0;
    // Ticks of the clock, those that painted after an input, those that painted nothing after
    // one, those more than half a period late by the monotonic clock, paints longer than a
    // period, and the window's updates the X server saw.
    size_t ticks = 0, paintedAfterInput = 0, missed = 0, late = 0, longPaints = 0, inputs = 0,
           updates = 0;
    // The longest interval less the time the machine was held within it, and the holds.
    double longestUnheld = 0, heldMs = 0;
    size_t holds = 0;
    // The intervals between the updates the X server saw: what the user sees, whatever the
    // frame clock says.
    double updatesP95 = 0, updatesLongest = 0;
    // The main thread's time for each painted frame: what a frame costs, whatever else the
    // machine runs beside.
    double cpuPerFrame() const { return frames > 0 ? 1000 * busy * seconds / frames : 0; }
  };

  explicit FrameMeter(Gtk::Window& window, const size_t* inputs = nullptr)
      : window_(window), damage_(window), inputs_(inputs) {
    clock_ = window.get_frame_clock()->gobj();
    connect(
        "before-paint", +[](GdkFrameClock* clock, FrameMeter* self) {
          self->frameTimes_.push_back(gdk_frame_clock_get_frame_time(clock));
          self->painting_ = false;
          self->frameStarted_ = Clock::now();
          self->noteTick();
        });
    connect(
        "paint", +[](GdkFrameClock*, FrameMeter* self) { self->painting_ = true; });
    handlers_.push_back(g_signal_connect_after(
        clock_, "after-paint", G_CALLBACK(+[](GdkFrameClock*, FrameMeter* self) {
          if (!self->painting_) return;
          const double cost =
              (std::chrono::duration<double, std::milli>(Clock::now() - self->frameStarted_))
                  .count();
          self->paintCosts_.push_back(cost);
          if (!self->ticks_.empty()) self->ticks_.back().paintMs = cost;
        }),
        this));
  }
  ~FrameMeter() {
    for (gulong handler : handlers_) g_signal_handler_disconnect(clock_, handler);
  }

  void start() {
    frameTimes_.clear();
    paintCosts_.clear();
    ticks_.clear();
    damage_.reset();
    started_ = Clock::now();
    cpu_ = threadCpuSeconds();
    processCpu_ = processCpuSeconds();
    if (inputs_) inputsSeen_ = *inputs_;
    pauses_ = std::make_unique<MachinePauseWatch>();
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
    result.longest = intervals.empty() ? 0 : *std::max_element(intervals.begin(), intervals.end());
    const auto pauses = pauses_ ? pauses_->pauses() : std::vector<MachinePauseWatch::Pause>{};
    pauses_.reset();
    for (size_t i = 1; i < frameTimes_.size(); ++i) {
      const gint64 held = MachinePauseWatch::heldWithin(pauses, frameTimes_[i - 1], frameTimes_[i]);
      result.longestUnheld =
          std::max(result.longestUnheld, double(frameTimes_[i] - frameTimes_[i - 1] - held) / 1000);
    }
    result.holds = pauses.size();
    for (const auto& pause : pauses) result.heldMs += double(pause.to - pause.from) / 1000;
    result.paintP95 = percentile(paintCosts_, 0.95);
    const double area = double(window_.get_width()) * window_.get_height();
    if (result.frames > 0 && damage_.available()) {
      result.damagedPerFrame = damage_.pixels() / double(result.frames);
      result.damagedShare = area > 0 ? result.damagedPerFrame / area : 0;
    }
    result.updates = damage_.updates();
    const std::vector<double> seen = damage_.updateIntervals();
    result.updatesP95 = percentile(seen, 0.95);
    result.updatesLongest = seen.empty() ? 0 : *std::max_element(seen.begin(), seen.end());
    classifyTicks(result);
    writeLog(pauses);
    return result;
  }

  static void printHeader() {
    std::printf("%-30s %6s %6s %6s %6s %6s %6s %6s %6s %8s %7s %7s\n", "", "frames", "fps", "p50",
                "p95", "p99", "paint", "busy", "CPU", "px/frame", "window", "process");
    std::printf("%-30s %6s %6s %6s %6s %6s %6s %6s %6s %8s %7s %7s\n", "", "painted", "", "ms",
                "ms", "ms", "p95 ms", "", "ms/fr", "", "", "CPU");
  }
  static void print(const char* name, const Result& r) {
    std::printf("%-30s %6zu %6.1f %6.1f %6.1f %6.1f %6.1f %5.1f%% %6.2f %8.0f %6.2f%% %6.1f%%\n",
                name, r.frames, r.seconds > 0 ? double(r.frames) / r.seconds : 0, r.p50, r.p95,
                r.p99, r.paintP95, 100 * r.busy, r.cpuPerFrame(), r.damagedPerFrame,
                100 * r.damagedShare, 100 * r.process);
    if (r.inputs > 0) {
      const double s = r.seconds > 0 ? r.seconds : 1;
      std::printf(
          "%-30s ticks %.1f/s; inputs %.1f/s; painted after an input %.1f/s, without one "
          "%.1f/s; ticks with nothing to paint %.1f/s; missed (input, no paint) %zu; late "
          "ticks %zu; paints > 16.7 ms %zu; longest interval %.0f ms, %.0f ms of it outside "
          "holds of the machine (%zu holds, %.0f ms in all); X damage updates %.1f/s, p95 %.1f ms, "
          "longest %.0f ms\n",
          "", double(r.ticks) / s, double(r.inputs) / s, double(r.paintedAfterInput) / s,
          double(r.frames - r.paintedAfterInput) / s, double(r.ticks - r.frames - r.missed) / s,
          r.missed, r.late, r.longPaints, r.longest, r.longestUnheld, r.holds, r.heldMs,
          double(r.updates) / s, r.updatesP95, r.updatesLongest);
    }
    std::fflush(stdout);
  }

 private:
  struct Tick {
    gint64 at = 0;  // monotonic, µs
    size_t inputs = 0;
    double paintMs = -1;  // none painted
  };

  void noteTick() {
    Tick tick;
    tick.at = g_get_monotonic_time();
    tick.inputs = inputsSinceLastTick();
    ticks_.push_back(tick);
  }

  size_t inputsSinceLastTick() {
    if (!inputs_) return 0;
    const size_t since = *inputs_ - inputsSeen_;
    inputsSeen_ = *inputs_;
    return since;
  }

  void classifyTicks(Result& result) const {
    result.ticks = ticks_.size();
    // The period the clock keeps to, from its own frames.
    constexpr double kPeriodUs = 1e6 / 60;
    for (size_t i = 0; i < ticks_.size(); ++i) {
      const Tick& tick = ticks_[i];
      result.inputs += tick.inputs;
      const bool painted = tick.paintMs >= 0;
      if (painted && tick.inputs > 0) ++result.paintedAfterInput;
      if (!painted && tick.inputs > 0) ++result.missed;
      if (tick.paintMs > 1000 / 60.0) ++result.longPaints;
      if (i > 0 && double(tick.at - ticks_[i - 1].at) > 1.5 * kPeriodUs) ++result.late;
    }
  }

  void writeLog(const std::vector<MachinePauseWatch::Pause>& pauses) {
    const char* path = std::getenv("ZEMBLO_FRAME_LOG");
    if (!path || ticks_.empty()) return;
    FILE* log = std::fopen(path, "a");
    if (!log) return;
    const auto& damaged = damage_.times();
    std::fprintf(
        log,
        "# ms since first tick, interval ms, inputs, paint ms (- none), the machine's holds in "
        "the interval (held:ms), X damage rectangles since the tick before (ms after that tick: "
        "size and place); first tick at %lld µs on the monotonic clock\n",
        static_cast<long long>(ticks_[0].at));
    size_t d = 0;
    for (size_t i = 0; i < ticks_.size(); ++i) {
      const Tick& tick = ticks_[i];
      const gint64 from = i > 0 ? ticks_[i - 1].at : tick.at - 17000;
      std::fprintf(log, "%9.1f %5.1f %zu ", double(tick.at - ticks_[0].at) / 1000,
                   i > 0 ? double(tick.at - ticks_[i - 1].at) / 1000 : 0.0, tick.inputs);
      if (tick.paintMs >= 0) {
        std::fprintf(log, "%6.1f", tick.paintMs);
      } else {
        std::fprintf(log, "%6s", "-");
      }
      if (const gint64 held = MachinePauseWatch::heldWithin(pauses, from, tick.at); held > 0) {
        std::fprintf(log, " held:%.0f", double(held) / 1000);
      }
      // The server's milliseconds, compared modulo 2^32 with the ticks' own.
      const auto ms = [](gint64 us) { return uint32_t(us / 1000); };
      while (d < damaged.size() && int32_t(damaged[d] - ms(from)) < 0) ++d;
      while (d < damaged.size() && int32_t(damaged[d] - ms(tick.at)) < 0) {
        const auto& area = damage_.areas()[d];
        std::fprintf(log, " %d:%dx%d+%d+%d", int32_t(damaged[d] - ms(from)), area[2], area[3],
                     area[0], area[1]);
        ++d;
      }
      std::fputc('\n', log);
    }
    std::fclose(log);
  }

  template <class Handler>
  void connect(const char* signal, Handler handler) {
    handlers_.push_back(g_signal_connect(clock_, signal, G_CALLBACK(handler), this));
  }

  Gtk::Window& window_;
  DamageMeter damage_;
  const size_t* inputs_;
  size_t inputsSeen_ = 0;
  GdkFrameClock* clock_;
  std::vector<gulong> handlers_;
  std::vector<gint64> frameTimes_;
  std::vector<double> paintCosts_;
  std::vector<Tick> ticks_;
  bool painting_ = false;
  Clock::time_point started_, frameStarted_;
  double cpu_ = 0, processCpu_ = 0;
  std::unique_ptr<MachinePauseWatch> pauses_;
};

// Calls `step` on every frame of the window with the seconds since the measurement started.
class FrameDriver {
 public:
  FrameDriver(Gtk::Window& window, std::function<void(double)> step)
      : window_(window), step_(std::move(step)), started_(Clock::now()) {
    id_ = window_.add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>&) {
      step_(std::chrono::duration<double>(Clock::now() - started_).count());
      return true;
    });
  }
  ~FrameDriver() { window_.remove_tick_callback(id_); }

 private:
  Gtk::Window& window_;
  std::function<void(double)> step_;
  Clock::time_point started_;
  guint id_ = 0;
};

// Alternates between two states every `period` seconds.
inline std::function<void(double)> every(double period, std::function<void(bool)> flip) {
  auto last = std::make_shared<long>(-1);
  return [=](double seconds) {
    const long turn = long(seconds / period);
    if (turn == *last) return;
    *last = turn;
    flip(turn % 2 == 0);
  };
}

// A page of some weight: a title, a few paragraphs, a picture and an icon of its own.
inline std::string page(int n) {
  std::string text = "<!doctype html><html><head><meta charset='utf-8'><title>Page " +
                     std::to_string(n) + "</title><link rel='icon' href='/icon/" +
                     std::to_string(n) +
                     ".svg'></head><body style='font:16px sans-serif;margin:40px'><h1>Page " +
                     std::to_string(n) + "</h1>";
  for (int i = 0; i < 20; ++i) {
    text +=
        "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
        "incididunt ut labore et dolore magna aliqua.</p>";
  }
  text += "<img width='320' height='180' src='/picture/" + std::to_string(n) + ".svg'>";
  return text + "</body></html>";
}

// A long article with headings, tables and pictures, on white.
inline std::string article() {
  std::string page = R"(<!doctype html><html><head><meta charset="utf-8"><title>Article</title>
<style>body { font: 16px/1.5 sans-serif; margin: 40px auto; max-width: 760px; background: #fff;
color: #111; } td { border: 1px solid #ccc; padding: 4px; }</style></head><body><h1>Article</h1>)";
  for (int i = 0; i < 300; ++i) {
    page += "<h2>Section " + std::to_string(i) + "</h2><p>Lorem ipsum dolor sit amet, ";
    page += "consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore et dolore ";
    page += "magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris.</p>";
    if (i % 8 == 0) {
      page += "<img width='320' height='180' src='/picture/" + std::to_string(i) + ".svg'>";
      page +=
          "<table><tr><td>a</td><td>b</td><td>c</td></tr><tr><td>1</td><td>2</td>"
          "<td>3</td></tr></table>";
    }
  }
  return page + "</body></html>";
}

inline std::string picture(int n, int size) {
  const int hue = (n * 37) % 360;
  return "<svg xmlns='http://www.w3.org/2000/svg' width='" + std::to_string(size) + "' height='" +
         std::to_string(size) + "'><rect width='100%' height='100%' fill='hsl(" +
         std::to_string(hue) + ",70%,50%)'/></svg>";
}

// Serves the pages on `sites` loopback addresses, 127.0.0.2 onwards, one port for each.
class PageServer {
 public:
  explicit PageServer(int sites) : server_(soup_server_new(nullptr, nullptr)) {
    soup_server_add_handler(
        server_, nullptr,
        +[](SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer) {
          std::string body, type = "text/html; charset=utf-8";
          const std::string p(path);
          const int n = std::atoi(p.substr(p.find_last_of('/') + 1).c_str());
          if (p.starts_with("/icon/")) {
            body = picture(n, 32);
            type = "image/svg+xml";
          } else if (p.starts_with("/picture/")) {
            body = picture(n, 180);
            type = "image/svg+xml";
          } else if (p == "/article") {
            static const std::string text = article();
            body = text;
          } else {
            body = page(n);
          }
          soup_server_message_set_status(message, 200, nullptr);
          soup_server_message_set_response(message, type.c_str(), SOUP_MEMORY_COPY, body.data(),
                                           body.size());
          // The server runs in the measured process, where the connections a browser keeps to a
          // real site cost nothing: each answer ends its own.
          soup_message_headers_replace(soup_server_message_get_response_headers(message),
                                       "Connection", "close");
        },
        nullptr, nullptr);
    for (int site = 0; site < sites; ++site) {
      const std::string host = "127.0.0." + std::to_string(2 + site);
      GSocketAddress* address = g_inet_socket_address_new_from_string(host.c_str(), 0);
      GError* error = nullptr;
      if (!soup_server_listen(server_, address, SoupServerListenOptions(0), &error)) {
        std::fprintf(stderr, "cannot listen on %s: %s\n", host.c_str(), error->message);
        g_error_free(error);
      }
      g_object_unref(address);
    }
    GSList* uris = soup_server_get_uris(server_);
    for (GSList* uri = uris; uri; uri = uri->next) {
      auto* address = static_cast<GUri*>(uri->data);
      origins_.push_back("http://" + std::string(g_uri_get_host(address)) + ":" +
                         std::to_string(g_uri_get_port(address)));
    }
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~PageServer() {
    soup_server_disconnect(server_);
    g_object_unref(server_);
  }
  Url address(int n) const {
    return *Url::parse(origins_[size_t(n) % origins_.size()] + "/page/" + std::to_string(n));
  }
  Url articleAddress() const { return *Url::parse(origins_.front() + "/article"); }

 private:
  SoupServer* server_;
  std::vector<std::string> origins_;
};

// Measurements picked by the start of their names (all without names), each run for a while
// on a window, optionally while `step` drives it on every frame, and printed as a row.
class Measurements {
 public:
  Measurements(int seconds, std::vector<std::string> picked)
      : seconds_(seconds), picked_(std::move(picked)) {}
  // From a command line of [SECONDS [NAME...]]; 5 seconds by default.
  static Measurements fromArguments(int argc, char** argv) {
    return Measurements(argc > 1 ? std::max(1, std::atoi(argv[1])) : 5,
                        std::vector<std::string>(argv + std::min(argc, 2), argv + argc));
  }

  int seconds() const { return seconds_; }
  // Counts the inputs that drive the next measurements (none: null).
  void countInputs(const size_t* inputs) { inputs_ = inputs; }

  bool wanted(const char* name) const {
    if (picked_.empty()) return true;
    for (const auto& p : picked_) {
      if (std::string(name).starts_with(p)) return true;
    }
    return false;
  }

  // Also reports `other`, a second window that the step changes.
  void measure(Gtk::Window& window, const char* name, std::function<void(double)> step = {},
               Gtk::Window* other = nullptr, const char* otherName = nullptr) {
    if (!wanted(name)) return;
    FrameMeter meter(window, inputs_);
    std::unique_ptr<FrameMeter> otherMeter;
    if (other) otherMeter = std::make_unique<FrameMeter>(*other);
    std::unique_ptr<FrameDriver> driver;
    if (step) driver = std::make_unique<FrameDriver>(window, step);
    runFor(std::chrono::milliseconds(500));
    meter.start();
    if (otherMeter) otherMeter->start();
    runFor(std::chrono::seconds(seconds_));
    FrameMeter::print(name, meter.finish());
    if (otherMeter) FrameMeter::print(otherName, otherMeter->finish());
    driver.reset();
    runFor(std::chrono::milliseconds(800));  // what the step started settles
  }

 private:
  int seconds_;
  std::vector<std::string> picked_;
  const size_t* inputs_ = nullptr;
};

// The toolkit started as the browser starts it (with the renderer it would choose on this
// machine), and one web engine whose data stays in `home`.
inline std::shared_ptr<WebEngine> startToolkitAndEngine(const std::filesystem::path& home) {
  heap::keepLargeBlocks();
  interface_renderer::applyToProcess();
  gtk_init();
  Gtk::init_gtkmm_internals();
  adw_init();
  return std::make_shared<WebEngine>(Scheduler::mainLoop(),
                                     WebEngine::Folders{home / "web-data", home / "web-cache"});
}

struct Browser {
  Browser(const std::filesystem::path& defaultsFile, std::shared_ptr<WebEngine> engine)
      : defaults(defaultsFile) {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    store = BrowserStore::create(std::move(engine), std::move(environment));
    // The window opens at its own first size, as the browser's does.
    window = std::make_unique<BrowserWindow>(browserWindowModels(*store, store->tabs()), favicons,
                                             Scheduler::mainLoop(), colorScheme);
    window->present();
  }
  // The toolkit and an engine of its own with its data in `home`, ready for pages.
  static std::unique_ptr<Browser> start(const std::filesystem::path& home) {
    auto browser = std::make_unique<Browser>(home / "defaults.json", startToolkitAndEngine(home));
    browser->waitForContentRules();
    return browser;
  }

  // The content blocker compiles its rules once at start, and loads wait for it; that is not
  // what the benchmarks measure.
  void waitForContentRules() {
    runUntil(
        [&] {
          return !std::holds_alternative<AdBlocker::Preparing>(
              store->pageServices().adBlocker().status.peek());
        },
        std::chrono::seconds(120));
  }

  UserDefaults defaults;
  std::shared_ptr<BrowserStore> store;
  FaviconLoader favicons;
  const SystemColorScheme colorScheme;
  std::unique_ptr<BrowserWindow> window;
};

constexpr const char* kAnimatedPage =
    "data:text/html,<title>0</title><style>div{width:300px;height:300px;"
    "background:linear-gradient(red,blue);animation:s 2s linear infinite}"
    "@keyframes s{to{transform:rotate(360deg)}}</style><div></div><script>"
    "let n=0;(function f(){n++;requestAnimationFrame(f)})();"
    "setInterval(()=>{document.title=String(n);n=0},1000)</script>";

}  // namespace zemblo::bench
