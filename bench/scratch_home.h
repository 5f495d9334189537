#pragma once

#include <glib.h>

#include <cstdlib>
#include <filesystem>

namespace zemblo::bench {

// A private home and data folder so the benchmarks never touch the user's files.
struct ScratchHome {
  ScratchHome() {
    gchar* dir = g_dir_make_tmp("zemblo-bench-XXXXXX", nullptr);
    root = dir;
    g_free(dir);
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
  }
  // The engine's network process may still be writing its cache as the benchmark ends: a file that
  // comes in the middle of the removal leaves its folder behind, so the removal is tried again.
  ~ScratchHome() {
    std::error_code error;
    for (int attempt = 0; attempt < 3 && std::filesystem::exists(root, error); ++attempt) {
      std::filesystem::remove_all(root, error);
    }
    if (error) g_warning("Could not remove %s: %s", root.c_str(), error.message().c_str());
  }
  std::filesystem::path root;
};

}  // namespace zemblo::bench
