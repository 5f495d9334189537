#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/app_run.h"
#include "app/browser_commands.h"
#include "app/zemblo_app.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/tabs_model.h"
#include "support/find_window.h"
#include "support/temp_home.h"
#include "support/x_input.h"
#include "web/web_harness.h"
#include "window/browser_window.h"
#include "window/command_bar.h"

// The browser application run for one test, with three pages on a local server whose key presses
// are written down, and real X input to its window.
namespace zemblo::testing {

// Real X input to the browser window, which is the only window titled "Zemblo".
inline void pressKeys(const std::string& keys) {
  const std::string command = xdotoolOn("Zemblo", "windowfocus %1 key " + keys);
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Every key the page sees is written down, so a test can tell that shortcuts never reach it.
inline constexpr const char* kKeyLog =
    "<script>window.keys = []; addEventListener('keydown', (e) => {"
    "  if (!['Control', 'Shift', 'Alt'].includes(e.key)) keys.push(e.key);"
    "}, true);</script>";

class BrowserCommandsTest : public ::testing::Test {
 protected:
  BrowserCommandsTest() {
    for (const std::string name : {"Alpha", "Beta", "Gamma"}) {
      server.page("/" + name, "<title>" + name + "</title>" + kKeyLog + "<h1>" + name + "</h1>");
    }
  }

  // Runs the browser application with its window up and GTK's animations off, then `body`.
  void runBrowser(const std::function<void()>& body) {
    app = ZembloApp::create();
    app->signal_activate().connect(
        [this, body] {
          Glib::signal_idle().connect_once([this, body] {
            g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
            if (waitUntil([&] { return window().get_mapped() && window().get_width() > 0; })) {
              body();
            } else {
              ADD_FAILURE() << "the browser window did not show";
            }
            app->quit();
          });
        },
        true);
    testing::runWithoutArguments(*app);
    // A window holds its application: without this the application would outlive the test and
    // keep its name on the bus, so that the next test's application could not register.
    for (auto* shown : app->get_windows()) app->remove_window(*shown);
    app.reset();
    L10n::setEnglish(false);
  }

  BrowserStore& store() { return *app->store(); }
  BrowserWindow& window() { return *app->browserWindow(); }
  BrowserMenu& menu() { return *app->browserMenu(); }
  const Space::TabList& tabs() { return store().tabs().currentSpace()->tabs.peek(); }
  std::shared_ptr<BrowserTab> selected() { return store().tabs().currentSpace()->selectedTab(); }

  // A loaded page in a new selected tab, with the keyboard in the page.
  std::shared_ptr<BrowserTab> openPage(const std::string& name) {
    auto tab = store().tabs().openTab(server.address("/" + name), false);
    EXPECT_TRUE(WebHarness::waitForPage(*tab, name));
    focusPage(*tab);
    return tab;
  }
  void focusPage(BrowserTab& tab) {
    auto& view = WebHarness::portOf(tab).widget();
    EXPECT_TRUE(waitUntil([&] { return view.get_mapped(); }));
    view.grab_focus();
    EXPECT_TRUE(waitUntil([&] { return view.has_focus(); }));
  }
  // Presses keys that must change nothing, then Ctrl+S: once the sidebar has toggled, the keys
  // before it have been handled too (the window handles keys in order). The sidebar is put back.
  void pressIgnoredKeys(const std::string& keys) {
    const bool sidebar = store().tabs().sidebarVisible.peek();
    pressKeys(keys + " ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().sidebarVisible.peek() != sidebar; }));
    store().tabs().sidebarVisible.set(sidebar);
  }
  bool commandBarHasFocus() {
    CommandBar* bar = testing::activeView<CommandBar>(window(), "CommandBar");
    return bar && testing::textFieldIn(*bar).has_focus();
  }
  std::string keysSeenBy(BrowserTab& tab) {
    return callJavaScript(WebHarness::viewOf(tab), "return keys.join(' ');").value_or("?");
  }

  testing::TempHome home;
  TestServer server;
  Glib::RefPtr<ZembloApp> app;
};

}  // namespace zemblo::testing
