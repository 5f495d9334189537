#include "platform/main_loop.h"

#include <gio/gio.h>

#include <algorithm>

#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

struct WorkerJob {
  std::function<void()> work;
  std::function<void()> done;
};

}  // namespace

void runOnMainLoop(std::function<void()> work, int priority) {
  using Work = std::function<void()>;
  auto pending = std::make_unique<Work>(std::move(work));
  g_idle_add_full(
      priority,
      [](gpointer data) {
        (*static_cast<Work*>(data))();
        return G_SOURCE_REMOVE;
      },
      pending.release(), [](gpointer data) { std::unique_ptr<Work>(static_cast<Work*>(data)); });
}

void runOnWorkerThread(std::function<void()> work, std::function<void()> done) {
  auto job = std::make_unique<WorkerJob>(WorkerJob{std::move(work), std::move(done)});
  const auto finished = [](GObject*, GAsyncResult* result, gpointer) {
    auto* job = static_cast<WorkerJob*>(g_task_get_task_data(G_TASK(result)));
    // The last reference to the task may be the pool thread's, so whatever the job holds is
    // let go of here, on the main context, rather than wherever the task happens to end.
    auto done = std::move(job->done);
    job->work = nullptr;
    done();
  };
  auto task = GObjectRef<GTask>::adopt(g_task_new(nullptr, nullptr, finished, nullptr));
  g_task_set_task_data(task.get(), job.release(), [](gpointer data) {
    std::unique_ptr<WorkerJob>(static_cast<WorkerJob*>(data));
  });
  g_task_run_in_thread(task.get(), [](GTask* task, gpointer, gpointer data, GCancellable*) {
    static_cast<WorkerJob*>(data)->work();
    g_task_return_boolean(task, TRUE);
  });
}

bool turnMainLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  if (done()) return true;
  bool timedOut = false;
  // Wakes a turn that would otherwise wait for an event that never comes.
  const guint timer = g_timeout_add_full(
      G_PRIORITY_HIGH, guint(std::max<long long>(0, limit.count())),
      [](gpointer flag) {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &timedOut, nullptr);
  while (!done() && !timedOut) g_main_context_iteration(nullptr, TRUE);
  if (!timedOut) g_source_remove(timer);
  return done();
}

}  // namespace zemblo
