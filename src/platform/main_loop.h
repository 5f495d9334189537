#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace zemblo {

// Runs `work` on a later turn of the main loop, at a GLib source priority. Callable from any
// thread; whatever `work` holds is destroyed on the main loop too.
void runOnMainLoop(std::function<void()> work, int priority = G_PRIORITY_DEFAULT);

// Runs `work` on a thread of GLib's shared pool and then `done` on the main context of the
// calling thread, which also destroys both. `done` should hold only weak references to objects
// of the main loop: they may be gone by then.
void runOnWorkerThread(std::function<void()> work, std::function<void()> done);

// runOnWorkerThread for a job that gives a result.
template <class Result>
void runInBackground(std::function<Result()> work, std::function<void(Result)> done) {
  auto result = std::make_shared<std::optional<Result>>();
  runOnWorkerThread([work = std::move(work), result] { result->emplace(work()); },
                    [done = std::move(done), result] { done(std::move(**result)); });
}

// Turns the main loop of the calling thread until `done` holds, for at most `limit`: the way out
// of a process that waits for answers that come on the main loop. Whether `done` held.
bool turnMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace zemblo
