#pragma once

#include <glib.h>

#include <functional>
#include <memory>
#include <thread>
#include <utility>

namespace zemblo {

// Runs `work` on a later turn of the main loop, at a GLib source priority. Callable from any
// thread; whatever `work` holds is destroyed on the main loop too.
void runOnMainLoop(std::function<void()> work, int priority = G_PRIORITY_DEFAULT);

// Runs `work` on a thread of its own and hands its result to `done` on the main loop. `done`
// should hold only weak references to objects of the main loop: they may be gone by then.
template <class Result>
void runInBackground(std::function<Result()> work, std::function<void(Result)> done) {
  std::thread([work = std::move(work), done = std::move(done)]() mutable {
    auto result = std::make_shared<Result>(work());
    runOnMainLoop([done = std::move(done), result] { done(std::move(*result)); });
  }).detach();
}

}  // namespace zemblo
