#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/scheduler.h"

namespace zemblo {

// Runs an action at once when asked, then at most once per interval while requests keep
// coming: the requests that arrive during an interval are merged into one run at its end. So a
// burst (a slider dragged for seconds) costs a few runs a second, and the last request always
// runs.
class Throttle {
 public:
  Throttle(Scheduler& scheduler, std::chrono::milliseconds interval, std::function<void()> action);
  ~Throttle();
  Throttle(const Throttle&) = delete;
  Throttle& operator=(const Throttle&) = delete;

  void request();
  // Runs a merged request now instead of at the end of its interval.
  void flush();
  bool pending() const { return pending_; }

 private:
  void run();

  Scheduler& scheduler_;
  std::chrono::milliseconds interval_;
  std::function<void()> action_;
  std::unique_ptr<ScheduledTask> cooldown_;
  bool pending_ = false;
};

}  // namespace zemblo
