#include "platform/heap.h"

#include <glib.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zemblo::heap {

void keepLargeBlocks() {
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestKept));
  // Freeing never shrinks the heap by itself; `release` does, at a quiet moment.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kLargestKept));
}

void release() { malloc_trim(0); }

void shareArenas() {
  if (mallopt(M_ARENA_MAX, kArenas) == 0) g_warning("The heap's arenas could not be limited");
}

void restartWithSmallBlocksOnHeap(char** argv) {
  constexpr const char* kVariable = "G_SLICE";
  // A value of the user's own (a debugging one) is kept, and is also what stops a second restart.
  if (std::getenv(kVariable) || !glib_check_version(2, 76, 0)) return;
  // By its own path, not by /proc/self/exe: the process is named after the file it runs, and
  // the desktop (and whoever looks for the browser by name) would see it renamed.
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    g_warning("Could not find this program to restart it: %s", error.message().c_str());
    return;
  }
  setenv(kVariable, "always-malloc", 1);
  execv(self.c_str(), argv);
  unsetenv(kVariable);
  g_warning("Could not restart with GLib's small blocks on the heap: %s", std::strerror(errno));
}

}  // namespace zemblo::heap
