#include <gtest/gtest.h>

#include "app/browser_commands_harness.h"
#include "settings/settings_view.h"
#include "support/find_widget.h"
#include "support/window_manager.h"

// What the settings window changes and shows is the browser window the user used last: the one
// made active most recently, passing over any the user has closed since.
namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::waitUntil;
using testing::WebHarness;

class LastUsedWindowTest : public BrowserCommandsTest {
 protected:
  // Made active as a click on it would make it, through the window manager.
  static bool activate(Gtk::Window& window) {
    const std::string command = testing::xdotoolOn(window.gobj(), "windowactivate %1");
    return std::system(command.c_str()) == 0 && waitUntil([&] { return window.is_active(); });
  }

  Gtk::Window* settingsWindow() {
    for (Gtk::Window* shown : app->get_windows()) {
      if (dynamic_cast<SettingsView*>(shown)) return shown;
    }
    return nullptr;
  }

  // Turns the content blocker's switch over in the settings window's privacy pane.
  void flipBlocker() {
    auto* settings = dynamic_cast<SettingsView*>(settingsWindow());
    ASSERT_NE(settings, nullptr);
    settings->select(SettingsPane::privacy);
    GtkWidget* blocker = testing::findByAccessibleName(
        GTK_WIDGET(settings->gobj()), localized("Reklamları ve izleyicileri engelle"),
        GTK_ACCESSIBLE_ROLE_SWITCH);
    ASSERT_NE(blocker, nullptr);
    gtk_switch_set_active(GTK_SWITCH(blocker), !gtk_switch_get_active(GTK_SWITCH(blocker)));
  }
};

TEST_F(LastUsedWindowTest, TheBlockerAndTheSpacesPaneActOnTheWindowUsedLastNeverOnAClosedOne) {
  testing::WindowManager windowManager;
  ASSERT_TRUE(windowManager.ready());
  runBrowser([&] {
    openPage("Alpha");
    app->activate_action("new-window");
    ASSERT_TRUE(waitUntil([&] { return testing::otherBrowserWindow(*app, window()) != nullptr; }));
    BrowserWindow& second = *testing::otherBrowserWindow(*app, window());
    ASSERT_TRUE(
        WebHarness::waitForPage(*second.tabs().openTab(server.address("/Beta"), false), "Beta"));
    app->activate_action("settings");
    ASSERT_NE(settingsWindow(), nullptr);

    // The first window was used after the second.
    ASSERT_TRUE(activate(window()));
    ASSERT_TRUE(activate(*settingsWindow()));
    int alpha = server.hits("/Alpha");
    const int beta = server.hits("/Beta");
    flipBlocker();
    ASSERT_TRUE(waitUntil([&] { return server.hits("/Alpha") == alpha + 1; }));

    ASSERT_TRUE(activate(second));
    flipBlocker();
    ASSERT_TRUE(waitUntil([&] { return server.hits("/Beta") == beta + 1; }));

    // The spaces pane opens on the space the second window shows, and a name typed there is the
    // one that window's space takes; the first window's space keeps its own.
    second.tabs().select(*second.tabs().spaces.peek().at(1));
    const std::string firstName = window().tabs().currentSpace()->name.peek();
    auto* settings = dynamic_cast<SettingsView*>(settingsWindow());
    settings->select(SettingsPane::spaces);
    // Each space has an editor of its own: the field is looked up again every time.
    const auto spaceName = [&]() -> std::string {
      GtkWidget* name = testing::findByAccessibleName(GTK_WIDGET(settings->gobj()), localized("Ad"),
                                                      GTK_ACCESSIBLE_ROLE_TEXT_BOX);
      return name ? gtk_editable_get_text(GTK_EDITABLE(name)) : "";
    };
    GtkWidget* name = testing::findByAccessibleName(GTK_WIDGET(settings->gobj()), localized("Ad"),
                                                    GTK_ACCESSIBLE_ROLE_TEXT_BOX);
    ASSERT_NE(name, nullptr);
    gtk_editable_set_text(GTK_EDITABLE(name), "Gezi");
    ASSERT_TRUE(waitUntil([&] { return second.tabs().currentSpace()->name.peek() == "Gezi"; }));
    EXPECT_EQ(window().tabs().currentSpace()->name.peek(), firstName);

    // The open pane follows the user to the other window and back.
    ASSERT_TRUE(activate(window()));
    EXPECT_TRUE(waitUntil([&] { return spaceName() == firstName; })) << spaceName();
    ASSERT_TRUE(activate(second));
    EXPECT_TRUE(waitUntil([&] { return spaceName() == "Gezi"; })) << spaceName();

    // Closed, the second window is passed over for the one used before it.
    second.close();
    EXPECT_TRUE(waitUntil([&] { return spaceName() == firstName; })) << spaceName();
    alpha = server.hits("/Alpha");
    flipBlocker();
    ASSERT_TRUE(waitUntil([&] { return server.hits("/Alpha") == alpha + 1; }));
    EXPECT_EQ(server.hits("/Beta"), beta + 1);
  });
}

}  // namespace
}  // namespace zemblo
