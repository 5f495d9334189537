#include "platform/scheduler.h"

#include <list>

#include <glibmm/main.h>

#include "platform/main_loop_work.h"

namespace zemblo {
namespace {

class MainLoopTask : public ScheduledTask {
 public:
  // Work for the next idle turn is listed in `waiting` until it runs.
  using Waiting = std::list<MainLoopTask*>;

  MainLoopTask(std::chrono::milliseconds delay, std::function<void()> work,
               int idlePriority = Glib::PRIORITY_HIGH_IDLE, Waiting* waiting = nullptr)
      : work_(std::move(work)), waiting_(waiting) {
    if (waiting_) place_ = waiting_->insert(waiting_->end(), this);
    auto fire = [this] {
      leave();
      finish();  // may destroy this task
      return false;
    };
    // Work for the next turn runs ahead of the redraws: while animations keep the frame clock
    // busy, a default-priority idle would never get its turn and views would stop syncing.
    connection_ = delay.count() == 0
                      ? Glib::signal_idle().connect(fire, idlePriority)
                      : Glib::signal_timeout().connect(fire, static_cast<unsigned>(delay.count()));
  }
  ~MainLoopTask() override {
    connection_.disconnect();
    leave();
  }

  void cancel() override {
    connection_.disconnect();
    leave();
    finished_ = true;
  }
  bool finished() const override { return finished_; }

  // Runs the work now rather than on its turn.
  void runNow() {
    connection_.disconnect();
    leave();
    finish();
  }

 private:
  void leave() {
    if (waiting_) waiting_->erase(place_);
    waiting_ = nullptr;
  }
  void finish() {
    finished_ = true;
    auto work = std::move(work_);
    work();  // may destroy this task: touch no member afterwards
  }

  std::function<void()> work_;
  sigc::connection connection_;
  bool finished_ = false;
  Waiting* waiting_;
  Waiting::iterator place_;
};

class MainLoopScheduler : public Scheduler {
 public:
  std::unique_ptr<ScheduledTask> after(std::chrono::milliseconds delay,
                                       std::function<void()> work) override {
    return std::make_unique<MainLoopTask>(delay, std::move(work), Glib::PRIORITY_HIGH_IDLE,
                                          delay.count() == 0 ? &nextTurn_ : nullptr);
  }
  // Below the redraws, which run at a priority between the high and the default idle.
  std::unique_ptr<ScheduledTask> afterRedraw(std::function<void()> work) override {
    return std::make_unique<MainLoopTask>(std::chrono::milliseconds(0), std::move(work),
                                          Glib::PRIORITY_DEFAULT_IDLE);
  }
  void runWaitingWork() {
    // Bounded: work that keeps asking for another turn gets it on the main loop, as before.
    for (size_t ran = 0; !nextTurn_.empty() && ran < kMostAtOnce; ++ran) {
      nextTurn_.front()->runNow();
    }
  }

 private:
  static constexpr size_t kMostAtOnce = 10000;
  MainLoopTask::Waiting nextTurn_;
};

MainLoopScheduler& mainLoopScheduler() {
  static MainLoopScheduler scheduler;
  return scheduler;
}

}  // namespace

Scheduler& Scheduler::mainLoop() { return mainLoopScheduler(); }

void runWaitingMainLoopWork() { mainLoopScheduler().runWaitingWork(); }

}  // namespace zemblo
