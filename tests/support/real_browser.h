#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/records.h"
#include "support/browser_process.h"
#include "support/page_server.h"
#include "support/saved_session.h"
#include "support/temp_home.h"

namespace zemblo::testing {

// The real executable, run as the user runs it, in a home of the test's own and on pages of a
// server of the test's own.
class RealBrowserTest : public ::testing::Test {
 protected:
  // Saves a session of one space "Work" whose tabs show `addresses`, the first one selected.
  static void saveTabs(const std::vector<std::string>& addresses) {
    SpaceSnapshot space = savedSpace("Work", int(addresses.size()), 0);
    for (size_t i = 0; i < addresses.size(); ++i) space.tabs[i].url = Url::parse(addresses[i]);
    ASSERT_TRUE(SessionFiles().writeSession({.spaces = {space}, .currentSpaceID = space.id}));
  }
  // Starts the browser with its error output in "<name>.log" of the home.
  BrowserProcess start(const std::string& name, const std::vector<std::string>& arguments = {}) {
    return BrowserProcess(home.root() / (name + ".log"), arguments);
  }
  // Ctrl+Q, as the user quits, in the browser's window named `window`: the browser ends by itself
  // with 0.
  static void quit(BrowserProcess& browser, const std::string& window = "^Zemblo$") {
    ASSERT_TRUE(browser.onWindow(window, "windowfocus --sync %1 key ctrl+q")) << browser.log();
    const auto status = browser.exitStatus(std::chrono::seconds(20));
    ASSERT_TRUE(status) << "still running 20 s after Ctrl+Q, killed\n" << browser.log();
    EXPECT_TRUE(exitedCleanly(status)) << browser.log();
  }

  TempHome home;
  PageServer server;
};

}  // namespace zemblo::testing
