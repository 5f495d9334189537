#include "platform/process.h"

#include <glib-unix.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <memory>

#include "platform/heap.h"

namespace zemblo::process {

void handleTerminationSignals(std::function<void()> quit) {
  using Callback = std::shared_ptr<std::function<void()>>;
  auto shared = std::make_shared<std::function<void()>>(std::move(quit));
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    // GLib owns each copy until the source goes away; the destroy notify takes it back.
    auto holder = std::make_unique<Callback>(shared);
    g_unix_signal_add_full(
        G_PRIORITY_DEFAULT, signal,
        [](gpointer user) -> gboolean {
          (**static_cast<Callback*>(user))();
          return G_SOURCE_CONTINUE;
        },
        holder.release(),
        [](gpointer user) { std::unique_ptr<Callback>(static_cast<Callback*>(user)); });
  }
}

void restartInPlace(char** argv) {
  // The new start sets the engine's processes' heap settings again from the user's own: started
  // with ours, it would run with them itself.
  if (const auto settings = heap::usersSettings()) {
    setenv(heap::kSettingsVariable, settings->c_str(), 1);
  } else {
    unsetenv(heap::kSettingsVariable);
  }
  execv("/proc/self/exe", argv);
}

void applyPreferredLanguages(const UserDefaults& defaults) {
  const auto languages = defaults.stringArray("AppleLanguages");
  if (!languages || languages->size() != 1) return;
  const std::string& language = languages->front();
  if (language == "tr" || language == "en") setenv("LANGUAGE", language.c_str(), 1);
}

}  // namespace zemblo::process
