#include "platform/main_loop.h"

#include <glib.h>

namespace zemblo {

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

}  // namespace zemblo
