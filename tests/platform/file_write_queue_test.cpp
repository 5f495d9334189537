#include "platform/file_write_queue.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace zemblo {
namespace {

// While one write is on the disk, newer snapshots of the same file replace the one waiting, and
// nothing older ever runs after something newer.
TEST(FileWriteQueue, WritesRunOffTheCallingThreadInOrderAndOnlyTheNewestWaitingOneOfAKey) {
  std::mutex mutex;
  std::vector<std::string> written;
  std::vector<std::string> answered;
  std::promise<void> firstStarted;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  const auto caller = std::this_thread::get_id();
  FileWriteQueue queue;
  const auto submit = [&](const std::string& key, const std::string& version) {
    queue.submit(
        key,
        [&, key, version] {
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
}

}  // namespace
}  // namespace zemblo
