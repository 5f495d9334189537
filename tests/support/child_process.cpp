#include "support/child_process.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace zemblo::testing {

ChildProcess::ChildProcess(std::vector<std::string> argv, int* output) {
  std::vector<char*> pointers;
  for (auto& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  GError* error = nullptr;
  const auto ownGroup = [](gpointer) { setpgid(0, 0); };
  if (!g_spawn_async_with_pipes(nullptr, pointers.data(), nullptr,
                                GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_SEARCH_PATH),
                                ownGroup, nullptr, &pid_, nullptr, output, nullptr, &error)) {
    g_warning("cannot start %s: %s", argv.front().c_str(), error->message);
    g_error_free(error);
    pid_ = 0;
    return;
  }
  exitNotice_ = int(syscall(SYS_pidfd_open, pid_, 0));
  if (exitNotice_ < 0) g_warning("cannot watch process %d: %s", pid_, g_strerror(errno));
}

ChildProcess::~ChildProcess() {
  // Whatever the program left running in its group goes with it.
  if (started()) killGroup();
  if (exitNotice_ >= 0) close(exitNotice_);
}

void ChildProcess::signal(int number) const {
  if (started()) kill(pid_, number);
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (status_ || !started()) return status_;
  pollfd ended{exitNotice_, POLLIN, 0};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int ready = 0;
  do {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    ready = poll(&ended, 1, int(std::max<long>(left.count(), 0)));
  } while (ready < 0 && errno == EINTR);
  int status = 0;
  if (ready == 1 && waitpid(pid_, &status, 0) == pid_) {
    reaped_ = true;
    status_ = status;
    return status_;
  }
  killGroup();
  return std::nullopt;
}

void ChildProcess::killGroup() {
  kill(-pid_, SIGKILL);
  if (!reaped_) {
    int status = 0;
    waitpid(pid_, &status, 0);
    reaped_ = true;
  }
}

}  // namespace zemblo::testing
