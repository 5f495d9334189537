#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace zemblo {

// Writes files on a thread of its own, so that the main thread never waits for the disk. Writes
// run one at a time in the order they were handed over; a write still waiting when a newer one of
// the same key arrives is replaced by it, so a later snapshot is never overwritten by an earlier
// one and a burst costs one write. The answers come back on the main loop.
class FileWriteQueue {
 public:
  // Runs on the queue's thread; one that throws counts as a failed write (false).
  using Write = std::function<bool()>;
  using Answer = std::function<void(bool)>;  // runs on the main thread with what Write returned

  FileWriteQueue();
  // Carries out what is still waiting, then stops; answers nothing more.
  ~FileWriteQueue();
  FileWriteQueue(const FileWriteQueue&) = delete;
  FileWriteQueue& operator=(const FileWriteQueue&) = delete;

  void submit(std::string key, Write write, Answer answer = {});
  // Blocks until everything handed over so far is written, then runs the answers still due here,
  // before returning. For the way out, where the process must not end with a write half done.
  void finish();

 private:
  struct State;
  static void work(const std::shared_ptr<State>& state);
  static void answer(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace zemblo
