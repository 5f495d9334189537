#include "platform/observable.h"

namespace zemblo {
namespace {
thread_local ObservationTracker* runningTracker = nullptr;
}

void ObservedProperty::trackRead() const {
  if (runningTracker) runningTracker->add(*this);
}

ObservationTracker::~ObservationTracker() { clear(); }

ObservationTracker* ObservationTracker::running() { return runningTracker; }

void ObservationTracker::track(const std::function<void()>& body) {
  clear();
  ObservationTracker* outer = runningTracker;
  runningTracker = this;
  try {
    body();
  } catch (...) {
    runningTracker = outer;
    throw;
  }
  runningTracker = outer;
}

void ObservationTracker::clear() {
  for (auto& connection : connections_) connection.disconnect();
  connections_.clear();
  seen_.clear();
}

void ObservationTracker::add(const ObservedProperty& property) {
  if (!seen_.insert(&property).second) return;
  connections_.push_back(property.signalChanged().connect([this] { onChange_(); }));
}

Observer::Observer(std::function<void()> sync, Scheduler& scheduler)
    : sync_(std::move(sync)), scheduler_(scheduler), tracker_([this] { invalidate(); }) {
  syncNow();
}

Observer::~Observer() = default;

void Observer::syncNow() {
  pending_.reset();
  tracker_.track(sync_);
}

void Observer::invalidate() {
  if (pending_ && !pending_->finished()) return;
  pending_ = scheduler_.after(std::chrono::milliseconds(0), [this] { syncNow(); });
}

}  // namespace zemblo
