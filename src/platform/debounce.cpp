#include "platform/debounce.h"

namespace zemblo {

Debounce::Debounce(Scheduler& scheduler, std::chrono::milliseconds quiet,
                   std::chrono::milliseconds longest, std::function<void()> action)
    : scheduler_(scheduler), quiet_(quiet), longest_(longest), action_(std::move(action)) {}

void Debounce::request() {
  quietTask_ = scheduler_.after(quiet_, [this] { run(); });
  if (!deadlineTask_ || deadlineTask_->finished()) {
    deadlineTask_ = scheduler_.after(longest_, [this] { run(); });
  }
}

void Debounce::cancel() {
  quietTask_.reset();
  deadlineTask_.reset();
}

void Debounce::run() {
  // Whichever of the two fired, the other one is for the same request.
  if (quietTask_) quietTask_->cancel();
  if (deadlineTask_) deadlineTask_->cancel();
  action_();
}

}  // namespace zemblo
