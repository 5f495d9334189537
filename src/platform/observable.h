#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sigc++/sigc++.h>

#include "platform/scheduler.h"

// Per-property observation with automatic dependency tracking. A view runs its `sync()` inside
// an `Observer`; every `Observable::get()` made during that run subscribes the observer to that
// one property, and a later change of any of them re-runs the sync once on the next turn.
namespace zemblo {

class ObservationTracker;

// The change signal of one property. Reading registers with the tracker that is running, if any.
class ObservedProperty {
 public:
  ObservedProperty() = default;
  ObservedProperty(const ObservedProperty&) = delete;
  ObservedProperty& operator=(const ObservedProperty&) = delete;

  sigc::signal<void()>& signalChanged() const { return changed_; }

 protected:
  void trackRead() const;
  void notify() { changed_.emit(); }

 private:
  mutable sigc::signal<void()> changed_;
};

// Equality policy for lists of objects that must always notify when assigned.
struct NeverEqual {
  template <class T>
  bool operator()(const T&, const T&) const {
    return false;
  }
};

// A list of shared objects is unchanged only when it holds the same objects in the same order.
struct SameObjectsInOrder {
  template <class T>
  bool operator()(const std::vector<std::shared_ptr<T>>& a,
                  const std::vector<std::shared_ptr<T>>& b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].get() != b[i].get()) return false;
    }
    return true;
  }
};

template <class T, class Equal = std::equal_to<T>>
class Observable : public ObservedProperty {
 public:
  Observable() = default;
  explicit Observable(T value) : value_(std::move(value)) {}

  // Reads and subscribes the running observer, if any.
  const T& get() const {
    trackRead();
    return value_;
  }
  // Reads without subscribing (for model code that must not create view dependencies).
  const T& peek() const { return value_; }

  // Stores the value; notifies only when it differs from the stored one.
  void set(T value) {
    const bool same = Equal{}(value_, value);
    value_ = std::move(value);
    if (!same) notify();
  }

  // Changes the value in place; always notifies.
  template <class Mutation>
  void mutate(Mutation&& mutation) {
    std::forward<Mutation>(mutation)(value_);
    notify();
  }

 private:
  T value_{};
};

// Collects the properties read while it is the running tracker.
class ObservationTracker {
 public:
  explicit ObservationTracker(std::function<void()> onChange) : onChange_(std::move(onChange)) {}
  ~ObservationTracker();
  ObservationTracker(const ObservationTracker&) = delete;
  ObservationTracker& operator=(const ObservationTracker&) = delete;

  // Runs `body` with this tracker active, replacing the previous subscriptions by the reads made.
  void track(const std::function<void()>& body);
  void clear();

  static ObservationTracker* running();
  void add(const ObservedProperty& property);

 private:
  // A subscription and the run that last read its property.
  struct Subscription {
    sigc::connection connection;
    std::uint64_t run = 0;
  };

  void dropUnread();

  std::function<void()> onChange_;
  // Kept from run to run while their property is still read, rather than made anew: a view
  // re-syncs many times, and subscriptions remade at each sync land wherever the heap has room
  // at that moment, among short-lived blocks whose pages they then keep from being returned.
  std::unordered_map<const ObservedProperty*, Subscription> subscriptions_;
  std::uint64_t run_ = 0;
};

// Runs a sync function now and again after any change it depended on, at most once per turn of
// the given scheduler. Destroying the observer ends the subscriptions.
class Observer {
 public:
  Observer(std::function<void()> sync, Scheduler& scheduler = Scheduler::mainLoop());
  ~Observer();
  Observer(const Observer&) = delete;
  Observer& operator=(const Observer&) = delete;

  void syncNow();

 private:
  void invalidate();

  std::function<void()> sync_;
  Scheduler& scheduler_;
  ObservationTracker tracker_;
  std::unique_ptr<ScheduledTask> pending_;
};

}  // namespace zemblo
