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
  // Until the body reads a property again, its change must not re-run the body, as if it had
  // never been subscribed.
  ++run_;
  for (auto& [property, subscription] : subscriptions_) subscription.connection.block();
  ObservationTracker* outer = runningTracker;
  runningTracker = this;
  try {
    body();
  } catch (...) {
    runningTracker = outer;
    dropUnread();
    throw;
  }
  runningTracker = outer;
  dropUnread();
}

void ObservationTracker::dropUnread() {
  for (auto entry = subscriptions_.begin(); entry != subscriptions_.end();) {
    if (entry->second.run == run_) {
      ++entry;
      continue;
    }
    entry->second.connection.disconnect();
    entry = subscriptions_.erase(entry);
  }
}

void ObservationTracker::clear() {
  for (auto& [property, subscription] : subscriptions_) subscription.connection.disconnect();
  subscriptions_.clear();
}

void ObservationTracker::add(const ObservedProperty& property) {
  Subscription& subscription = subscriptions_[&property];
  if (subscription.run == run_) return;
  subscription.run = run_;
  // A property gone since the last run leaves its connection ended; one made since at the same
  // address is another property, subscribed afresh.
  if (subscription.connection.connected()) {
    subscription.connection.unblock();
  } else {
    subscription.connection = property.signalChanged().connect([this] { onChange_(); });
  }
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
