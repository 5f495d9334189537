#include "platform/main_loop.h"

#include <glib.h>

namespace zemblo {

void runOnMainLoop(std::function<void()> work) {
  using Work = std::function<void()>;
  auto pending = std::make_unique<Work>(std::move(work));
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) {
        (*static_cast<Work*>(data))();
        return G_SOURCE_REMOVE;
      },
      pending.release(), [](gpointer data) { std::unique_ptr<Work>(static_cast<Work*>(data)); });
}

}  // namespace zemblo
