#include "platform/observable.h"

#include <gtest/gtest.h>

#include "support/fake_scheduler.h"

namespace zemblo {
namespace {

TEST(Observable, WholeValueWritesNotifyOnlyOnChangeWhileMutationsAlwaysNotify) {
  Observable<std::string> name{"Kişisel"};
  int notifications = 0;
  name.signalChanged().connect([&] { ++notifications; });
  name.set("Kişisel");
  EXPECT_EQ(notifications, 0);
  name.set("İş");
  EXPECT_EQ(notifications, 1);
  name.mutate([](std::string& value) { value += ""; });
  EXPECT_EQ(notifications, 2);
}

TEST(Observable, ListsOfObjectsCompareByIdentityOrNever) {
  auto a = std::make_shared<int>(1), b = std::make_shared<int>(1);
  Observable<std::vector<std::shared_ptr<int>>, SameObjectsInOrder> same{{a, b}};
  Observable<std::vector<std::shared_ptr<int>>, NeverEqual> never{{a, b}};
  int sameCount = 0, neverCount = 0;
  same.signalChanged().connect([&] { ++sameCount; });
  never.signalChanged().connect([&] { ++neverCount; });
  same.set({a, b});
  never.set({a, b});
  EXPECT_EQ(sameCount, 0);
  EXPECT_EQ(neverCount, 1);
  same.set({b, a});  // equal values, other order: a change
  EXPECT_EQ(sameCount, 1);
}

TEST(Observer, ResyncsOncePerTurnAndOnlyForPropertiesItRead) {
  testing::FakeScheduler scheduler;
  Observable<int> watched{1}, other{1}, conditional{1};
  Observable<bool> readConditional{false};
  int syncs = 0;
  Observer observer(
      [&] {
        ++syncs;
        watched.get();
        if (readConditional.get()) conditional.get();
      },
      scheduler);
  EXPECT_EQ(syncs, 1);

  other.set(2);
  conditional.set(2);
  scheduler.runPending();
  EXPECT_EQ(syncs, 1);

  watched.set(2);
  watched.set(3);
  readConditional.set(true);
  EXPECT_EQ(syncs, 1);  // nothing runs inside the writes
  scheduler.runPending();
  EXPECT_EQ(syncs, 2);

  conditional.set(3);  // read during the last sync: now a dependency
  scheduler.runPending();
  EXPECT_EQ(syncs, 3);
}

// Subscriptions outlive a sync only for what it read again; one written before the sync read it
// again does not start another, and a property made where a read one was is a new dependency.
TEST(Observer, FollowsOnlyWhatItsLastSyncRead) {
  testing::FakeScheduler scheduler;
  Observable<bool> readFirst{true};
  Observable<int> first{1}, second{1};
  auto replaced = std::make_unique<Observable<int>>(1);
  int syncs = 0;
  Observer observer(
      [&] {
        ++syncs;
        if (readFirst.get()) first.get();
        if (syncs == 2) first.set(5);  // written before it is read again
        second.get();
        replaced->get();
      },
      scheduler);

  readFirst.set(false);
  scheduler.runPending();
  EXPECT_EQ(syncs, 2);
  first.set(2);
  scheduler.runPending();
  EXPECT_EQ(syncs, 2);

  readFirst.set(true);
  scheduler.runPending();
  EXPECT_EQ(syncs, 3);
  second.set(2);
  scheduler.runPending();
  EXPECT_EQ(syncs, 4);
  EXPECT_EQ(second.signalChanged().size(), 1u);

  replaced.reset();
  replaced = std::make_unique<Observable<int>>(1);
  readFirst.set(false);
  scheduler.runPending();
  EXPECT_EQ(syncs, 5);
  replaced->set(2);
  scheduler.runPending();
  EXPECT_EQ(syncs, 6);
}

TEST(Observer, StopsWhenDestroyed) {
  testing::FakeScheduler scheduler;
  Observable<int> watched{1};
  int syncs = 0;
  {
    Observer observer([&] { syncs += watched.get() > 0 ? 1 : 0; }, scheduler);
    watched.set(2);
  }
  scheduler.runPending();
  watched.set(3);
  scheduler.runPending();
  EXPECT_EQ(syncs, 1);
  EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(FakeSchedulerTest, RunsDueTasksInOrderAndSkipsCancelledOnes) {
  testing::FakeScheduler scheduler;
  std::vector<int> order;
  auto late = scheduler.after(std::chrono::milliseconds(300), [&] { order.push_back(3); });
  auto early = scheduler.after(std::chrono::milliseconds(100), [&] { order.push_back(1); });
  auto cancelled = scheduler.after(std::chrono::milliseconds(200), [&] { order.push_back(2); });
  cancelled->cancel();
  scheduler.advance(std::chrono::milliseconds(299));
  EXPECT_EQ(order, std::vector<int>{1});
  scheduler.advance(std::chrono::milliseconds(1));
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
  EXPECT_TRUE(late->finished());
}

}  // namespace
}  // namespace zemblo
