#pragma once

#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "support/wait.h"

namespace zemblo::testing {

// A window manager on the test display for the life of the object, as a desktop has one: without
// it a window asked to go full screen stays as it is. Ready once the manager runs the command it
// starts with, after it has taken over the screen.
class WindowManager {
 public:
  WindowManager()
      : folder_(makeFolder()),
        process_({"openbox", "--sm-disable", "--startup", "touch '" + readyFile() + "'"}) {
    ready_ = process_.started() && waitUntil([&] { return std::filesystem::exists(readyFile()); });
    EXPECT_TRUE(ready_) << "the window manager did not start";
  }
  ~WindowManager() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  bool ready() const { return ready_; }

 private:
  static std::string makeFolder() {
    gchar* dir = g_dir_make_tmp("zemblo-wm-XXXXXX", nullptr);
    std::string folder = dir ? dir : "";
    g_free(dir);
    return folder;
  }
  std::string readyFile() const { return folder_ + "/ready"; }

  std::string folder_;
  ChildProcess process_;
  bool ready_ = false;
};

}  // namespace zemblo::testing
