#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace zemblo {

// One piece of work waiting on the main loop. Destroying the handle cancels it.
class ScheduledTask {
 public:
  virtual ~ScheduledTask() = default;
  virtual void cancel() = 0;
  // True once the work ran or was cancelled.
  virtual bool finished() const = 0;
};

// Runs work later on the main loop. Injected wherever time matters, so tests can use a fake
// clock instead of sleeping.
class Scheduler {
 public:
  virtual ~Scheduler() = default;

  // Runs `work` once after `delay` (0: on the next idle turn) on a monotonic clock.
  virtual std::unique_ptr<ScheduledTask> after(std::chrono::milliseconds delay,
                                               std::function<void()> work) = 0;

  // Runs `work` once the windows have drawn what is waiting: for a long run of work done a part
  // at a time, whose parts must not hold the frames back until the end.
  virtual std::unique_ptr<ScheduledTask> afterRedraw(std::function<void()> work) {
    return after(std::chrono::milliseconds(0), std::move(work));
  }

  // The GLib main loop of the process.
  static Scheduler& mainLoop();
};

}  // namespace zemblo
