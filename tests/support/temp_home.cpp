#include "support/temp_home.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <glib.h>
#include <unistd.h>

namespace zemblo::testing {
namespace {

std::string current(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void restore(const char* name, const std::string& value) {
  if (value.empty())
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
}

// The web engine's network process serves every session of a test program and keeps watching the
// folders of a session that has ended; when its cache folder goes away it crashes, failing the
// loads of whichever test runs then. Homes are therefore removed when the program ends.
class FoldersRemovedAtExit {
 public:
  void add(std::filesystem::path folder) { folders_.push_back(std::move(folder)); }
  ~FoldersRemovedAtExit() {
    // A forked child (a death test) leaves its parent's folders alone.
    if (getpid() != owner_) return;
    std::error_code ignored;
    for (const auto& folder : folders_) std::filesystem::remove_all(folder, ignored);
  }

 private:
  pid_t owner_ = getpid();
  std::vector<std::filesystem::path> folders_;
};

FoldersRemovedAtExit& removedAtExit() {
  static FoldersRemovedAtExit folders;
  return folders;
}

}  // namespace

TempHome::TempHome()
    : savedHome_(current("HOME")),
      savedData_(current("XDG_DATA_HOME")),
      savedConfig_(current("XDG_CONFIG_HOME")),
      savedCache_(current("XDG_CACHE_HOME")) {
  removedAtExit();  // made first, so it outlives every home, even one that is static
  gchar* dir = g_dir_make_tmp("zemblo-test-XXXXXX", nullptr);
  root_ = dir;
  g_free(dir);
  setenv("HOME", root_.c_str(), 1);
  setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
}

TempHome::~TempHome() {
  removedAtExit().add(root_);
  restore("HOME", savedHome_);
  restore("XDG_DATA_HOME", savedData_);
  restore("XDG_CONFIG_HOME", savedConfig_);
  restore("XDG_CACHE_HOME", savedCache_);
}

void TempHome::writeFile(const std::filesystem::path& file, const std::string& contents) const {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << contents;
}

std::string TempHome::readFile(const std::filesystem::path& file) const {
  std::ifstream in(file, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace zemblo::testing
