#include "platform/throttle.h"

namespace zemblo {

Throttle::Throttle(Scheduler& scheduler, std::chrono::milliseconds interval,
                   std::function<void()> action)
    : scheduler_(scheduler), interval_(interval), action_(std::move(action)) {}

Throttle::~Throttle() = default;

void Throttle::request() {
  if (cooldown_ && !cooldown_->finished()) {
    pending_ = true;
    return;
  }
  run();
}

void Throttle::flush() {
  if (!pending_) return;
  pending_ = false;
  action_();
}

void Throttle::run() {
  pending_ = false;
  cooldown_ = scheduler_.after(interval_, [this] {
    if (pending_) run();
  });
  action_();
}

}  // namespace zemblo
