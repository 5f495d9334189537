#include "platform/scheduler.h"

#include <glibmm/main.h>

namespace zemblo {
namespace {

class MainLoopTask : public ScheduledTask {
 public:
  MainLoopTask(std::chrono::milliseconds delay, std::function<void()> work,
               int idlePriority = Glib::PRIORITY_HIGH_IDLE)
      : work_(std::move(work)) {
    auto fire = [this] {
      finished_ = true;
      auto work = std::move(work_);
      work();  // may destroy this task: touch no member afterwards
      return false;
    };
    // Work for the next turn runs ahead of the redraws: while animations keep the frame clock
    // busy, a default-priority idle would never get its turn and views would stop syncing.
    connection_ = delay.count() == 0
                      ? Glib::signal_idle().connect(fire, idlePriority)
                      : Glib::signal_timeout().connect(fire, static_cast<unsigned>(delay.count()));
  }
  ~MainLoopTask() override { connection_.disconnect(); }

  void cancel() override {
    connection_.disconnect();
    finished_ = true;
  }
  bool finished() const override { return finished_; }

 private:
  std::function<void()> work_;
  sigc::connection connection_;
  bool finished_ = false;
};

class MainLoopScheduler : public Scheduler {
 public:
  std::unique_ptr<ScheduledTask> after(std::chrono::milliseconds delay,
                                       std::function<void()> work) override {
    return std::make_unique<MainLoopTask>(delay, std::move(work));
  }
  // Below the redraws, which run at a priority between the high and the default idle.
  std::unique_ptr<ScheduledTask> afterRedraw(std::function<void()> work) override {
    return std::make_unique<MainLoopTask>(std::chrono::milliseconds(0), std::move(work),
                                          Glib::PRIORITY_DEFAULT_IDLE);
  }
};

}  // namespace

Scheduler& Scheduler::mainLoop() {
  static MainLoopScheduler scheduler;
  return scheduler;
}

}  // namespace zemblo
