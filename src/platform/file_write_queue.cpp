#include "platform/file_write_queue.h"

#include <glib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/main_loop.h"

namespace zemblo {
namespace {

// A write that throws failed like one that found the disk full: its owner is told and tries
// again, and the thread lives on for the other files.
bool run(const std::string& key, const FileWriteQueue::Write& write) {
  try {
    return write();
  } catch (const std::exception& error) {
    g_warning("Writing %s failed: %s", key.c_str(), error.what());
  } catch (...) {
    g_warning("Writing %s failed", key.c_str());
  }
  return false;
}

}  // namespace

struct FileWriteQueue::State {
  struct Job {
    std::string key;
    Write write;
    Answer answer;
  };

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> waiting;
  // Writes replaced before they ran: a snapshot can be large, so the writing thread frees it.
  std::vector<Write> replaced;
  bool writing = false;
  bool stopping = false;
  std::vector<std::pair<Answer, bool>> answers;
  bool answerScheduled = false;
};

FileWriteQueue::FileWriteQueue() : state_(std::make_shared<State>()) {}

FileWriteQueue::~FileWriteQueue() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FileWriteQueue::submit(std::string key, Write write, Answer answer) {
  {
    std::lock_guard lock(state_->mutex);
    auto& waiting = state_->waiting;
    auto same = std::find_if(waiting.begin(), waiting.end(),
                             [&](const State::Job& job) { return job.key == key; });
    if (same != waiting.end()) {
      state_->replaced.push_back(std::exchange(same->write, std::move(write)));
      same->answer = std::move(answer);
    } else {
      waiting.push_back({std::move(key), std::move(write), std::move(answer)});
    }
  }
  // Started with the first write: most owners never write, and the thread then costs nothing.
  if (!thread_.joinable()) thread_ = std::thread(&FileWriteQueue::work, state_);
  state_->changed.notify_all();
}

void FileWriteQueue::finish() {
  {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->waiting.empty() && !state_->writing; });
  }
  answer(state_);
}

void FileWriteQueue::work(const std::shared_ptr<State>& state) {
  std::unique_lock lock(state->mutex);
  while (true) {
    state->changed.wait(lock, [&] { return state->stopping || !state->waiting.empty(); });
    if (state->waiting.empty()) return;  // stopping, and nothing left to write
    State::Job job = std::move(state->waiting.front());
    state->waiting.pop_front();
    std::vector<Write> replaced = std::exchange(state->replaced, {});
    state->writing = true;
    lock.unlock();
    replaced.clear();
    const bool written = run(job.key, job.write);
    job.write = nullptr;  // what it holds goes here, off the main thread
    lock.lock();
    state->writing = false;
    if (job.answer && !state->stopping) {
      state->answers.emplace_back(std::move(job.answer), written);
      if (!state->answerScheduled) {
        state->answerScheduled = true;
        std::weak_ptr<State> weakState = state;
        runOnMainLoop([weakState] {
          if (auto alive = weakState.lock()) answer(alive);
        });
      }
    }
    state->changed.notify_all();
  }
}

void FileWriteQueue::answer(const std::shared_ptr<State>& state) {
  std::vector<std::pair<Answer, bool>> due;
  {
    std::lock_guard lock(state->mutex);
    due.swap(state->answers);
    state->answerScheduled = false;
  }
  for (auto& [reply, written] : due) reply(written);
}

}  // namespace zemblo
