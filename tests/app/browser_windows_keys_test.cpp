// Ctrl+N and Ctrl+Shift+N with real keys: the windows they open, the commands that act on the
// window with the focus, and tabs that move from one window to another.
#include <gtest/gtest.h>

#include "app/app_run.h"
#include "app/app_windows.h"
#include "app/zemblo_app.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/window_model.h"
#include "sidebar/sidebar_rules.h"
#include "sidebar/sidebar_view.h"
#include "sidebar/tab_list_view.h"
#include "support/find_window.h"
#include "support/main_loop.h"
#include "support/temp_home.h"
#include "support/wait.h"
#include "support/x_input.h"
#include "web/webkit_web_view_port.h"
#include "window/accessibility_tree.h"
#include "window/browser_window.h"
#include "window/content_area.h"

namespace zemblo {
namespace {

bool press(BrowserWindow& window, const std::string& keys) {
  return std::system(
             testing::xdotoolOn(GTK_WINDOW(window.gobj()), "windowfocus --sync %1 key " + keys)
                 .c_str()) == 0;
}

// A screen reader reads both browser windows as windows, shown, the focused one alone as active,
// and names their controls. The application joins the accessibility bus some turns after it starts.
void expectWindowsAnnounced(BrowserWindow& focused) {
  ASSERT_TRUE(testing::waitUntil([&] { return focused.is_active(); }));
  std::vector<std::string> windows, active;
  ASSERT_TRUE(testing::waitUntil([&] {
    windows.clear(), active.clear();
    for (const auto& node : testing::AccessibilityReader::read()) {
      if (!node.topLevel || node.name == "GtkTooltipWindow") continue;
      windows.push_back(node.role + (node.showing ? " shown" : ""));
      if (node.active) active.push_back(node.name);
    }
    return !windows.empty();
  }));
  EXPECT_EQ(windows, std::vector<std::string>(2, "window shown"));
  EXPECT_EQ(active, std::vector<std::string>{focused.get_title()});
  testing::readControls();
}

// Whether the window's content shows the tab's web view.
bool shows(BrowserWindow& window, BrowserTab& tab) {
  auto* port = dynamic_cast<WebKitWebViewPort*>(tab.storedWebView());
  return port && port->widget().is_ancestor(testing::widgetNamed(window, "ContentArea"));
}

TEST(BrowserWindowsKeysTest, NewWindowsTakeTheirOwnCommandsAndTabsMoveBetweenThem) {
  testing::TempHome home;
  auto app = ZembloApp::create();
  testing::runChecks(*app, [app] {
    ASSERT_EQ(testing::browserWindowsOf(*app).size(), 1u);
    BrowserWindow& first = *testing::browserWindowsOf(*app).front();
    ASSERT_TRUE(press(first, "ctrl+n"));
    ASSERT_TRUE(testing::waitUntil([&] { return testing::otherBrowserWindow(*app, first); }));
    BrowserWindow& second = *testing::otherBrowserWindow(*app, first);
    EXPECT_FALSE(second.tabs().isPrivate());
    EXPECT_EQ(second.tabs().spaces.peek().front()->id, first.tabs().spaces.peek().front()->id);
    expectWindowsAnnounced(second);

    // Ctrl+S hides the sidebar of the window it was pressed in only.
    ASSERT_TRUE(press(second, "ctrl+s"));
    EXPECT_TRUE(testing::waitUntil([&] { return !second.tabs().sidebarVisible.peek(); }));
    EXPECT_TRUE(first.tabs().sidebarVisible.peek());

    // A tab moved to the other window shows there, with its page.
    const auto moving =
        first.tabs().openTab(*Url::parse("data:text/html,<title>Moving</title>"), false);
    ASSERT_TRUE(testing::waitUntil([&] { return shows(first, *moving); }));
    first.tabs().moveTabToWindow(*moving, second.tabs());
    EXPECT_TRUE(testing::waitUntil([&] { return shows(second, *moving); }));
    EXPECT_FALSE(first.tabs().spaceContaining(*moving));
    // So does a row dropped on the other window's tab list.
    const auto dragged = first.tabs().openTab(*Url::parse("data:text/html,dragged"), true);
    EXPECT_TRUE(testing::widgetNamed<TabListView>(second.sidebarView(), "TabListView")
                    .dropPayload(tabDragPayload(dragged->id), 0));
    EXPECT_TRUE(second.tabs().spaceContaining(*dragged));
    EXPECT_FALSE(first.tabs().spaceContaining(*dragged));
    expectWindowsAnnounced(second);

    // Closing that window with its key closes its tabs; Ctrl+Shift+T in the first window
    // brings the moved one back there.
    ASSERT_TRUE(press(second, "ctrl+shift+w"));
    ASSERT_TRUE(testing::waitUntil([&] { return app->store()->windows().size() == 1; }));
    ASSERT_TRUE(press(first, "ctrl+shift+t"));
    EXPECT_TRUE(testing::waitUntil([&] {
      const auto tab = first.tabs().selectedTab();
      return tab && tab->url.peek() == moving->url.peek();
    }));

    ASSERT_TRUE(press(first, "ctrl+shift+n"));
    ASSERT_TRUE(testing::waitUntil([&] { return testing::otherBrowserWindow(*app, first); }));
    BrowserWindow& hidden = *testing::otherBrowserWindow(*app, first);
    EXPECT_TRUE(hidden.tabs().isPrivate());
    EXPECT_TRUE(hidden.get_title().raw().ends_with(localized("%@ — Özel Gezinti").substr(2)));
    expectWindowsAnnounced(hidden);
  });
}

}  // namespace
}  // namespace zemblo
