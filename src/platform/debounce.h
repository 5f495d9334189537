#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/scheduler.h"

namespace zemblo {

// Runs an action once requests have stopped for a quiet interval, so a burst of changes costs
// one run, but never later than a longest wait after the first request not yet served: requests
// that keep coming faster than the quiet interval cannot put the action off for ever.
class Debounce {
 public:
  Debounce(Scheduler& scheduler, std::chrono::milliseconds quiet, std::chrono::milliseconds longest,
           std::function<void()> action);
  Debounce(const Debounce&) = delete;
  Debounce& operator=(const Debounce&) = delete;

  void request();
  // Forgets a waiting request, as when the action has just run for another reason.
  void cancel();
  bool pending() const { return quietTask_ && !quietTask_->finished(); }

 private:
  void run();

  Scheduler& scheduler_;
  std::chrono::milliseconds quiet_;
  std::chrono::milliseconds longest_;
  std::function<void()> action_;
  std::unique_ptr<ScheduledTask> quietTask_;
  std::unique_ptr<ScheduledTask> deadlineTask_;
};

}  // namespace zemblo
