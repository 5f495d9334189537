#include "platform/file_write_queue.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace zemblo {
namespace {

// Records on which thread the snapshot a write holds is freed.
struct Snapshot {
  Snapshot(std::mutex& mutex, std::vector<bool>& freedOnCaller, std::thread::id caller)
      : mutex(mutex), freedOnCaller(freedOnCaller), caller(caller) {}
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  ~Snapshot() {
    std::lock_guard lock(mutex);
    freedOnCaller.push_back(std::this_thread::get_id() == caller);
  }
  std::mutex& mutex;
  std::vector<bool>& freedOnCaller;
  std::thread::id caller;
};

// While one write is on the disk, newer snapshots of the same file replace the one waiting, and
// nothing older ever runs after something newer. Every snapshot, replaced ones too, is freed on
// the writing thread.
TEST(FileWriteQueue, WritesRunOffTheCallingThreadInOrderAndOnlyTheNewestWaitingOneOfAKey) {
  std::mutex mutex;
  std::vector<std::string> written;
  std::vector<std::string> answered;
  std::vector<bool> freedOnCaller;
  std::promise<void> firstStarted;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  const auto caller = std::this_thread::get_id();
  FileWriteQueue queue;
  const auto submit = [&](const std::string& key, const std::string& version) {
    auto snapshot = std::make_shared<Snapshot>(mutex, freedOnCaller, caller);
    queue.submit(
        key,
        [&, key, version, snapshot = std::move(snapshot)] {
          if (key + version == "session1") {
            firstStarted.set_value();
            released.wait();
          }
          std::lock_guard lock(mutex);
          written.push_back(key + version + (std::this_thread::get_id() == caller ? "!" : ""));
          return key != "history";
        },
        [&, key, version](bool ok) { answered.push_back(key + version + (ok ? "" : "-")); });
  };
  submit("session", "1");
  firstStarted.get_future().wait();
  for (const char* version : {"2", "3", "4"}) submit("session", version);
  submit("history", "1");
  submit("session", "5");
  release.set_value();
  queue.finish();
  EXPECT_EQ(written, (std::vector<std::string>{"session1", "session5", "history1"}));
  EXPECT_EQ(answered, (std::vector<std::string>{"session1", "session5", "history1-"}));
  EXPECT_EQ(freedOnCaller, std::vector<bool>(6, false));
}

// A write that throws is a failed write, answered as one; the queue goes on with the next.
TEST(FileWriteQueue, AWriteThatThrowsIsAnsweredAsFailedAndTheNextOneStillRuns) {
  FileWriteQueue queue;
  std::vector<std::string> answered;
  queue.submit(
      "session", []() -> bool { throw std::runtime_error("no snapshot"); },
      [&](bool ok) { answered.push_back(ok ? "session" : "session-"); });
  queue.submit(
      "history", []() -> bool { throw 7; },
      [&](bool ok) { answered.push_back(ok ? "history" : "history-"); });
  queue.finish();
  queue.submit(
      "session", [] { return true; },
      [&](bool ok) { answered.push_back(ok ? "session" : "session-"); });
  queue.finish();
  EXPECT_EQ(answered, (std::vector<std::string>{"session-", "history-", "session"}));
}

}  // namespace
}  // namespace zemblo
