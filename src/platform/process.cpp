#include "platform/process.h"

#include <glib-unix.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/heap.h"
#include "platform/main_loop.h"

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

std::vector<int> childrenNamed(const std::string& name) {
  std::vector<int> found;
  const std::string own = std::to_string(getpid());
  const std::string comm = "(" + name.substr(0, 15) + ")";
  std::error_code error;
  for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end;
       it.increment(error)) {
    // The name may hold blanks: the parent is read after its closing parenthesis.
    std::ifstream stat(it->path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const auto open = line.find(" (");
    const auto close = line.rfind(") ");
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    if (line.substr(open + 1, close - open) != comm) continue;
    const std::string rest = line.substr(close + 2);  // "<state> <parent> …"
    const auto parentStart = rest.find(' ');
    if (parentStart == std::string::npos) continue;
    if (rest.substr(parentStart + 1, rest.find(' ', parentStart + 1) - parentStart - 1) == own) {
      found.push_back(std::stoi(line.substr(0, open)));
    }
  }
  return found;
}

namespace {

// One process waited for: a pidfd turns readable when its process ends, reaped or not.
class EndWatch {
 public:
  explicit EndWatch(int pid) : fd_(int(syscall(SYS_pidfd_open, pid, 0))) {
    if (fd_ < 0) return;  // gone already
    source_ = g_unix_fd_source_new(fd_, G_IO_IN);
    g_source_set_callback(
        source_, reinterpret_cast<GSourceFunc>(+[](gint, GIOCondition, gpointer self) -> gboolean {
          static_cast<EndWatch*>(self)->ended_ = true;
          return G_SOURCE_REMOVE;
        }),
        this, nullptr);
    g_source_attach(source_, nullptr);
  }
  ~EndWatch() {
    if (source_) {
      g_source_destroy(source_);
      g_source_unref(source_);
    }
    if (fd_ >= 0) close(fd_);
  }
  EndWatch(const EndWatch&) = delete;
  EndWatch& operator=(const EndWatch&) = delete;

  bool ended() const { return fd_ < 0 || ended_; }

 private:
  int fd_;
  GSource* source_ = nullptr;
  bool ended_ = false;
};

}  // namespace

bool awaitEnd(const std::vector<int>& pids, std::chrono::milliseconds limit) {
  std::vector<std::unique_ptr<EndWatch>> watches;
  for (int pid : pids) watches.push_back(std::make_unique<EndWatch>(pid));
  return turnMainLoopUntil(
      [&] {
        return std::ranges::all_of(watches, [](const auto& watch) { return watch->ended(); });
      },
      limit);
}

}  // namespace zemblo::process
