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
  ~ScratchHome() { std::filesystem::remove_all(root); }
  std::filesystem::path root;
};

}  // namespace zemblo::bench
