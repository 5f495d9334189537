#pragma once

#include <glib.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zemblo::testing {

// A program a test starts, in a process group of its own. The group is killed when the object
// goes, so that a program that hangs never outlives its test.
class ChildProcess {
 public:
  // Starts `argv` (the program is looked up in PATH); with `output`, the program's standard
  // output is a pipe whose reading end is stored there, to be closed by the caller.
  explicit ChildProcess(std::vector<std::string> argv, int* output = nullptr);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  GPid pid() const { return pid_; }
  // Sends the signal to the program alone.
  void signal(int number) const;

  // Waits for the program to end and returns its wait status; nullopt when it is still running
  // after `timeout`, and it is then killed with its group.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);

 private:
  void killGroup();

  GPid pid_ = 0;
  int exitNotice_ = -1;  // readable once the program has ended
  bool reaped_ = false;
  std::optional<int> status_;
};

// Whether a wait status says the program exited by itself with code 0.
inline bool exitedCleanly(const std::optional<int>& status) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

}  // namespace zemblo::testing
