#include "support/fake_scheduler.h"

namespace zemblo::testing {

struct FakeScheduler::Entry {
  std::function<void()> work;
  bool finished = false;
};

class FakeScheduler::Task : public ScheduledTask {
 public:
  explicit Task(std::shared_ptr<Entry> entry) : entry_(std::move(entry)) {}
  ~Task() override { cancel(); }
  void cancel() override {
    entry_->finished = true;
    entry_->work = nullptr;
  }
  bool finished() const override { return entry_->finished; }

 private:
  std::shared_ptr<Entry> entry_;
};

std::unique_ptr<ScheduledTask> FakeScheduler::after(std::chrono::milliseconds delay,
                                                    std::function<void()> work) {
  auto entry = std::make_shared<Entry>();
  entry->work = std::move(work);
  queue_[{now_ + delay, nextSequence_++}] = entry;
  return std::make_unique<Task>(entry);
}

void FakeScheduler::advance(std::chrono::milliseconds by) {
  const auto target = now_ + by;
  while (!queue_.empty() && queue_.begin()->first.first <= target) {
    auto node = queue_.extract(queue_.begin());
    now_ = node.key().first;
    auto& entry = node.mapped();
    if (entry->finished) continue;
    entry->finished = true;
    auto work = std::move(entry->work);
    if (work) work();
  }
  now_ = target;
}

size_t FakeScheduler::pendingCount() const {
  size_t count = 0;
  for (const auto& [key, entry] : queue_) count += entry->finished ? 0 : 1;
  return count;
}

}  // namespace zemblo::testing
