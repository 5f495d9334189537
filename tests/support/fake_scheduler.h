#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "platform/scheduler.h"

namespace zemblo::testing {

// A scheduler on a virtual clock: nothing runs until the test advances time.
class FakeScheduler : public Scheduler {
 public:
  std::unique_ptr<ScheduledTask> after(std::chrono::milliseconds delay,
                                       std::function<void()> work) override;

  // Moves the clock forward, running every task that falls due, in due order.
  void advance(std::chrono::milliseconds by);
  // Runs whatever is due now (tasks scheduled with no delay).
  void runPending() { advance(std::chrono::milliseconds(0)); }

  std::chrono::milliseconds now() const { return now_; }
  size_t pendingCount() const;

 private:
  struct Entry;
  class Task;

  std::chrono::milliseconds now_{0};
  uint64_t nextSequence_ = 0;
  std::map<std::pair<std::chrono::milliseconds, uint64_t>, std::shared_ptr<Entry>> queue_;
};

}  // namespace zemblo::testing
