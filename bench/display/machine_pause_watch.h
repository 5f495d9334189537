#pragma once

// Whether the machine itself stopped: on a virtual machine the host may hold all of the guest's
// processors for tens of milliseconds, and a frame that falls in such a hold is late whatever the
// browser does. A thread that asks to wake every millisecond, at a real-time priority where the
// system allows one, wakes late only when it could not run at all; its late wakings are the
// holds, which the frame benchmarks set beside their longest intervals.

#include <glib.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace zemblo::bench {

class MachinePauseWatch {
 public:
  struct Pause {
    gint64 from = 0, to = 0;  // monotonic, µs
  };
  // A wake this much later than asked is a hold; shorter ones are the scheduler's own noise.
  static constexpr gint64 kLateUs = 10'000;

  MachinePauseWatch() : thread_([this] { watch(); }) {}
  ~MachinePauseWatch() {
    stop_ = true;
    thread_.join();
  }
  MachinePauseWatch(const MachinePauseWatch&) = delete;
  MachinePauseWatch& operator=(const MachinePauseWatch&) = delete;

  std::vector<Pause> pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
  }

  // How much of [from, to] the machine was held for.
  static gint64 heldWithin(const std::vector<Pause>& pauses, gint64 from, gint64 to) {
    gint64 held = 0;
    for (const Pause& pause : pauses) {
      const gint64 start = std::max(from, pause.from), end = std::min(to, pause.to);
      if (end > start) held += end - start;
    }
    return held;
  }

 private:
  void watch() {
    // Without the right to it the watch runs at the usual priority, and counts a busy machine's
    // delays as holds too.
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    gint64 last = g_get_monotonic_time();
    while (!stop_) {
      g_usleep(1000);
      const gint64 now = g_get_monotonic_time();
      if (now - last > 1000 + kLateUs) {
        std::lock_guard lock(mutex_);
        pauses_.push_back({last + 1000, now});
      }
      last = now;
    }
  }

  std::atomic<bool> stop_ = false;
  mutable std::mutex mutex_;
  std::vector<Pause> pauses_;
  std::thread thread_;
};

}  // namespace zemblo::bench
