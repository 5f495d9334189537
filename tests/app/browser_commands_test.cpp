#include "app/browser_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/browser_commands_harness.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "passwords/passwords_window.h"
#include "platform/gobject_ref.h"
#include "sidebar/address_pill.h"
#include "sidebar/sidebar_view.h"
#include "sidebar/tab_row.h"
#include "support/find_passwords.h"
#include "support/find_window.h"
#include "support/saved_session.h"
#include "window/browser_window.h"
#include "window/command_bar.h"
#include "window/content_area.h"

namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::callJavaScript;
using testing::pressKeys;
using testing::waitUntil;
using testing::WebHarness;

double zoomOf(BrowserTab& tab) { return webkit_web_view_get_zoom_level(WebHarness::viewOf(tab)); }

TEST_F(BrowserCommandsTest, TabKeysOpenCloseReopenStepAndOpenTheAddressBarWithoutReachingThePage) {
  runBrowser([&] {
    auto alpha = openPage("Alpha");
    auto beta = openPage("Beta");
    ASSERT_EQ(tabs(), (Space::TabList{beta, alpha}));
    // The page does get ordinary keys.
    pressKeys("x");
    ASSERT_TRUE(waitUntil([&] { return keysSeenBy(*beta) == "x"; }));

    pressKeys("ctrl+t");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 3; }));
    auto blank = selected();
    EXPECT_TRUE(blank->showsStartPage());
    EXPECT_EQ(tabs().front(), blank);

    // The new blank tab goes without a trace; the page's tab is kept for reopening.
    pressKeys("ctrl+w");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 2; }));
    EXPECT_EQ(selected(), beta);
    pressKeys("ctrl+w");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 1; }));
    EXPECT_EQ(selected(), alpha);
    pressKeys("ctrl+shift+t");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 2; }));
    auto reopened = selected();
    EXPECT_EQ(reopened->url.peek(), server.address("/Beta"));
    EXPECT_EQ(tabs().front(), reopened);
    ASSERT_TRUE(WebHarness::waitForPage(*reopened, "Beta"));

    // Next and previous wrap around; GTK's own Ctrl+Tab focus moves never run.
    focusPage(*reopened);
    pressKeys("ctrl+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    pressKeys("ctrl+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == reopened; }));
    pressKeys("ctrl+shift+Tab");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    pressKeys("ctrl+Page_Up");
    ASSERT_TRUE(waitUntil([&] { return selected() == reopened; }));
    pressKeys("ctrl+Page_Down");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    EXPECT_EQ(tabs().size(), 2u);

    // The address bar opens on the current tab, also over a bar opened for a new tab.
    focusPage(*alpha);
    pressKeys("ctrl+l");
    ASSERT_TRUE(
        waitUntil([&] { return store().tabs().commandBar.peek() == CommandBarMode::currentTab; }));
    ASSERT_TRUE(waitUntil([&] { return commandBarHasFocus(); }));
    store().tabs().commandBar.set(std::nullopt);
    store().tabs().commandBar.set(CommandBarMode::newTab);
    pressKeys("ctrl+l");
    ASSERT_TRUE(
        waitUntil([&] { return store().tabs().commandBar.peek() == CommandBarMode::currentTab; }));
    store().tabs().commandBar.set(std::nullopt);

    EXPECT_EQ(keysSeenBy(*alpha), "");

    // With a tab row focused in the sidebar, Ctrl+W closes that row's tab, not the current one.
    Gtk::Widget& list = testing::widgetNamed(window().sidebarView(), "TabListView");
    ASSERT_TRUE(testing::tabRowFor(list, *alpha)->grab_focus());
    pressKeys("Up ctrl+w");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 1; }));
    EXPECT_EQ(tabs().front(), alpha);
    EXPECT_TRUE(
        waitUntil([&] { return window().get_focus() == testing::tabRowFor(list, *alpha); }));
    // Shift+F10 there is the row's menu, not the window's menu bar that F10 opens.
    pressKeys("shift+F10");
    Gtk::PopoverMenu* menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
      menu = testing::tabRowFor(list, *alpha)->contextMenu();
      return menu && menu->get_visible();
    }));
    pressKeys("Escape");
    ASSERT_TRUE(waitUntil([&] { return !menu->get_visible(); }));
    // The keyboard is back on the row at once, where the window's keys work.
    EXPECT_EQ(window().get_focus(), testing::tabRowFor(list, *alpha));
    pressKeys("ctrl+t");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 2; }));
    // (the new tab's start page takes the keyboard)
    ASSERT_TRUE(
        waitUntil([&] { return window().get_focus() != testing::tabRowFor(list, *alpha); }));

    // Closed from their rows, the tabs leave the keyboard on the row that takes their place, then
    // on the new-tab row; the window's keys still work there: with no tab in the space, closing
    // does nothing and the window stays, and a new tab opens.
    ASSERT_TRUE(testing::tabRowFor(list, *alpha)->grab_focus());
    pressKeys("Up Delete");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == 1; }));
    EXPECT_TRUE(
        waitUntil([&] { return window().get_focus() == testing::tabRowFor(list, *alpha); }));
    pressKeys("ctrl+w");
    ASSERT_TRUE(waitUntil([&] { return tabs().empty(); }));
    EXPECT_TRUE(waitUntil(
        [&] { return window().get_focus() == &testing::widgetNamed(list, "NewTabRow"); }));
    pressIgnoredKeys("ctrl+w");
    EXPECT_TRUE(window().get_visible());
    pressKeys("ctrl+t");
    EXPECT_TRUE(waitUntil([&] { return tabs().size() == 1; }));
  });
}

TEST_F(BrowserCommandsTest, NumberedTabKeysAndSpaceKeys) {
  runBrowser([&] {
    auto gamma = openPage("Gamma");
    auto beta = openPage("Beta");
    auto alpha = openPage("Alpha");
    ASSERT_EQ(tabs(), (Space::TabList{alpha, beta, gamma}));

    pressKeys("ctrl+2");
    ASSERT_TRUE(waitUntil([&] { return selected() == beta; }));
    pressKeys("ctrl+1");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    pressKeys("ctrl+9");  // always the last tab
    ASSERT_TRUE(waitUntil([&] { return selected() == gamma; }));
    pressKeys("ctrl+2");
    ASSERT_TRUE(waitUntil([&] { return selected() == beta; }));
    pressIgnoredKeys("ctrl+5");  // past the end
    EXPECT_EQ(selected(), beta);

    const auto spaces = store().tabs().spaces.peek();
    ASSERT_EQ(spaces.size(), 3u);
    ASSERT_EQ(store().tabs().currentSpaceID.peek(), spaces[0]->id);
    focusPage(*beta);
    pressKeys("ctrl+alt+Right");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[1]->id; }));
    pressKeys("ctrl+alt+Left");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[0]->id; }));
    pressKeys("ctrl+alt+Left");  // wraps to the last space
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[2]->id; }));
    pressKeys("ctrl+alt+Right");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[0]->id; }));
    // The keys the desktop leaves alone step through the spaces too.
    pressKeys("ctrl+shift+Page_Down");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[1]->id; }));
    pressKeys("ctrl+shift+Page_Up");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[0]->id; }));
    EXPECT_EQ(keysSeenBy(*beta), "");

    // The window's keys still work while a popover of the sidebar holds the keyboard.
    auto& shield = testing::widgetNamed<ShieldButton>(window().sidebarView(), "ShieldButton");
    shield.toggle();
    ASSERT_TRUE(waitUntil([&] { return shield.popover().get_mapped(); }));
    pressKeys("ctrl+t");
    EXPECT_TRUE(waitUntil([&] { return tabs().size() == 4; }));
  });
}

// Each has a second key, the one other Linux browsers use, as the address bar has, over a page
// that has the keyboard.
TEST_F(BrowserCommandsTest, BackForwardAndReloadKeysDriveTheCurrentPage) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    tab->load(server.address("/Beta"));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));
    for (const auto& [back, forward, reload] :
         {std::array{"ctrl+bracketleft", "ctrl+bracketright", "ctrl+r"},
          std::array{"alt+Left", "alt+Right", "F5"}}) {
      ASSERT_TRUE(waitUntil([&] { return tab->canGoBack.peek(); }));
      focusPage(*tab);
      pressKeys(back);
      ASSERT_TRUE(WebHarness::waitForPage(*tab, "Alpha"));
      EXPECT_EQ(tab->url.peek(), server.address("/Alpha"));
      ASSERT_TRUE(waitUntil([&] { return tab->canGoForward.peek(); }));
      pressKeys(forward);
      ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));

      const int hits = server.hits("/Beta");
      focusPage(*tab);
      pressKeys(reload);
      ASSERT_TRUE(waitUntil([&] { return server.hits("/Beta") == hits + 1; }));
      ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));
      EXPECT_EQ(tab->url.peek(), server.address("/Beta"));
    }
    // F6 is the address bar's second key.
    focusPage(*tab);
    pressKeys("F6");
    ASSERT_TRUE(
        waitUntil([&] { return store().tabs().commandBar.peek() == CommandBarMode::currentTab; }));
    ASSERT_TRUE(waitUntil([&] { return commandBarHasFocus(); }));
    EXPECT_EQ(keysSeenBy(*tab), "");
  });
}

TEST_F(BrowserCommandsTest, ZoomKeysStepWithinTheBoundsAndActualSizeUsesTheDefaultZoom) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    const double start = zoomOf(*tab);
    pressKeys("ctrl+equal");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) > start; }));
    EXPECT_NEAR(zoomOf(*tab), start + 0.1, 1e-9);
    // The shifted and keypad keys zoom in too.
    pressKeys("ctrl+plus");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) > start + 0.15; }));
    pressKeys("ctrl+KP_Add");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) > start + 0.25; }));
    EXPECT_NEAR(zoomOf(*tab), start + 0.3, 1e-9);
    pressKeys("ctrl+minus");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) < start + 0.25; }));
    EXPECT_NEAR(zoomOf(*tab), start + 0.2, 1e-9);

    WebHarness::portOf(*tab).setPageZoom(2.95);
    pressKeys("ctrl+equal");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) > 2.96; }));
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 3.0);
    pressIgnoredKeys("ctrl+equal");
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 3.0);

    WebHarness::portOf(*tab).setPageZoom(0.35);
    pressKeys("ctrl+minus");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) < 0.34; }));
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 0.3);
    pressIgnoredKeys("ctrl+KP_Subtract");
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 0.3);

    // Actual size is the user's default zoom, not 100 %.
    store().preferences().updatePrefs([](AppPreferences& prefs) { prefs.defaultZoom = 1.5; });
    pressKeys("ctrl+0");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*tab) > 1.4; }));
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 1.5);

    // The start page has no web view, and zooming does not make one.
    window().openNewTab();
    ASSERT_TRUE(waitUntil([&] { return selected()->showsStartPage(); }));
    pressIgnoredKeys("ctrl+equal ctrl+0");
    EXPECT_EQ(selected()->storedWebView(), nullptr);
    EXPECT_DOUBLE_EQ(zoomOf(*tab), 1.5);
  });
}

TEST_F(BrowserCommandsTest, FindSidebarAndPageDarkModeKeysToggleAndTheMenuFollows) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    pressKeys("ctrl+f");
    ASSERT_TRUE(waitUntil([&] { return testing::widgetNamed(window(), "FindBar").get_mapped(); }));
    EXPECT_TRUE(store().tabs().findBarVisible.peek());
    focusPage(*tab);
    pressKeys("ctrl+f");
    ASSERT_TRUE(
        waitUntil([&] { return !testing::widgetNamed(window(), "FindBar").get_visible(); }));
    EXPECT_FALSE(store().tabs().findBarVisible.peek());

    ASSERT_TRUE(store().tabs().sidebarVisible.peek());
    store().saveNow();
    pressKeys("ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return !store().tabs().sidebarVisible.peek(); }));
    // The sidebar's state is saved with the session.
    EXPECT_TRUE(testing::sessionOnDiskHolds(
        [](const SessionSnapshot& saved) { return !saved.sidebarVisible; }));
    pressKeys("ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().sidebarVisible.peek(); }));

    // The item's title reads the setting; every change of it builds the menus again.
    auto darkModeTitle = [&] {
      for (const auto& menu : shownMenus()) {
        for (const auto& section : menu.sections) {
          for (const auto& item : section) {
            if (item.action == "win.toggle-page-dark-mode") return item.title;
          }
        }
      }
      return std::string();
    };
    ASSERT_EQ(store().preferences().prefs().pageDarkMode, PageDarkMode::off);
    EXPECT_EQ(darkModeTitle(), localized("Sayfaları Karanlık Yap"));
    focusPage(*tab);
    pressKeys("ctrl+alt+d");
    ASSERT_TRUE(
        waitUntil([&] { return darkModeTitle() == localized("Sayfa Karanlık Modunu Kapat"); }));
    EXPECT_EQ(store().preferences().prefs().pageDarkMode, PageDarkMode::always);
    // Following the theme reads as on, and the item turns it off.
    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.pageDarkMode = PageDarkMode::withTheme; });
    ASSERT_TRUE(
        waitUntil([&] { return menusShow(commandsIn(store().preferences().prefs().language)); }));
    EXPECT_EQ(darkModeTitle(), localized("Sayfa Karanlık Modunu Kapat"));
    pressKeys("ctrl+alt+d");
    ASSERT_TRUE(waitUntil([&] { return darkModeTitle() == localized("Sayfaları Karanlık Yap"); }));
    EXPECT_EQ(store().preferences().prefs().pageDarkMode, PageDarkMode::off);
    EXPECT_EQ(keysSeenBy(*tab), "");
  });
}

TEST_F(BrowserCommandsTest, PasswordsKeyAndImportItemOpenThePasswordsWindow) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    const std::string title = localized("Şifreler");
    auto passwordsShown = [&] {
      for (auto* shown : app->get_windows()) {
        if (shown->get_title().raw() == title && shown->get_visible()) return true;
      }
      return false;
    };
    ASSERT_FALSE(passwordsShown());
    pressKeys("ctrl+alt+p");
    ASSERT_TRUE(waitUntil(passwordsShown));
    EXPECT_EQ(keysSeenBy(*tab), "");

    const auto passwordsWindow = [&]() -> GtkWindow* {
      for (auto* shown : app->get_windows()) {
        if (dynamic_cast<PasswordsWindow*>(shown)) return shown->gobj();
      }
      return nullptr;
    };
    GtkWindow* passwords = passwordsWindow();
    ASSERT_TRUE(passwords);
    EXPECT_FALSE(testing::importSheetOver(passwords));
    window().activate_action("win.import-passwords");
    EXPECT_TRUE(passwordsShown());
    ASSERT_TRUE(testing::importSheetOver(passwords));
    EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(testing::importSheetOver(passwords))));

    // The key button of the sidebar opens it too.
    for (auto* shown : app->get_windows()) {
      if (shown->get_title().raw() == title) shown->set_visible(false);
    }
    ASSERT_FALSE(passwordsShown());
    auto& button = window().sidebarView().bottomBar().passwordsButton();
    EXPECT_EQ(button.get_tooltip_text().raw(), localized("Şifreler (Ctrl+Alt+P)"));
    button.activate();
    EXPECT_TRUE(waitUntil(passwordsShown));
  });
}

// Ctrl+P and the File menu's item print the current page: the print dialog comes up over the
// browser window, and the key never reaches the page.
TEST_F(BrowserCommandsTest, PrintKeyAndMenuItemOpenThePrintDialogForTheCurrentPage) {
  runBrowser([&] {
    const auto printItem = [&] {
      for (const auto& submenu : shownMenus()) {
        for (const auto& section : submenu.sections) {
          for (const auto& item : section) {
            if (item.action == "win.print") return item;
          }
        }
      }
      return BrowserCommands::Item{};
    };
    EXPECT_EQ(printItem().title, localized("Yazdır…"));
    EXPECT_EQ(printItem().keys, std::vector<std::string>{"<Control>p"});

    auto tab = openPage("Alpha");
    std::vector<GtkWindow*> parents;
    auto watch = std::make_unique<testing::PrintDialogWatch>([&](GtkDialog* dialog) {
      parents.push_back(gtk_window_get_transient_for(GTK_WINDOW(dialog)));
      gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL);
    });
    pressKeys("ctrl+p");
    ASSERT_TRUE(waitUntil([&] { return watch->shown() == 1; }));
    window().activate_action("win.print");
    EXPECT_EQ(watch->shown(), 2);
    const std::vector<GtkWindow*> browserWindow(2, GTK_WINDOW(window().gobj()));
    EXPECT_EQ(parents, browserWindow);
    EXPECT_EQ(keysSeenBy(*tab), "");
    watch.reset();

    // Ctrl+W from the dialog closes the tab it prints, and the dialog with it.
    const size_t before = tabs().size();
    testing::PrintDialogWatch closing([&](GtkDialog* dialog) {
      testing::runBesideMainLoop(
          testing::xdotoolOn(GTK_WINDOW(dialog), "windowfocus --sync %1 key ctrl+w"));
    });
    window().activate_action("win.print");
    EXPECT_EQ(tabs().size(), before - 1);
  });
}

// Ctrl+Shift+I and F12 open the engine's inspector on the current page, ahead of GTK's own
// inspector, whose key is the same, and close it again, from the page and from the inspector.
TEST_F(BrowserCommandsTest, InspectorKeysOpenTheWebInspectorOnTheCurrentPage) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    WebKitWebInspector* inspector = webkit_web_view_get_inspector(WebHarness::viewOf(*tab));
    // Whether it is up, not how often the engine said so: opened again right after a close, it
    // can tell "closed" twice, when the page's process answers that close only after the new
    // inspector has started (which the engine then starts over and opens).
    bool open = false;
    const auto markOpen = +[](WebKitWebInspector*, bool* flag) {
      *flag = true;
      return FALSE;
    };
    const gulong windowHandler =
        g_signal_connect(inspector, "open-window", G_CALLBACK(markOpen), &open);
    const gulong attachHandler = g_signal_connect(inspector, "attach", G_CALLBACK(markOpen), &open);
    const gulong closeHandler = g_signal_connect_swapped(
        inspector, "closed", G_CALLBACK(+[](bool* flag) { *flag = false; }), &open);
    // Keys to whichever window holds `focus`, with the keyboard there.
    const auto pressIn = [](GtkWidget* focus, const std::string& keys) {
      gtk_widget_grab_focus(focus);
      testing::runBesideMainLoop(testing::xdotoolOn(GTK_WINDOW(gtk_widget_get_root(focus)),
                                                    "windowfocus --sync %1 key " + keys));
    };
    const auto gtkInspectorShown = [] {
      GListModel* toplevels = gtk_window_get_toplevels();
      for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
        GObjectRef<GObject> window =
            GObjectRef<GObject>::adopt(G_OBJECT(g_list_model_get_item(toplevels, i)));
        if (g_str_has_prefix(G_OBJECT_TYPE_NAME(window.get()), "GtkInspector")) return true;
      }
      return false;
    };

    pressKeys("ctrl+shift+i");
    ASSERT_TRUE(waitUntil([&] { return open; }));
    EXPECT_NE(webkit_web_inspector_get_web_view(inspector), nullptr);
    // The inspector names the page it inspects, by host and title, once its own page has started.
    const auto inspected = [&] {
      const char* uri = webkit_web_inspector_get_inspected_uri(inspector);
      return std::string(uri ? uri : "");
    };
    EXPECT_TRUE(waitUntil([&] { return inspected() == "127.0.0.1 — Alpha"; })) << inspected();
    EXPECT_FALSE(gtkInspectorShown());
    EXPECT_EQ(keysSeenBy(*tab), "");

    // Each key closes it from inside it, docked or in a window of its own, and opens it again
    // from the page, where F12 closes it too.
    GtkWidget* page = GTK_WIDGET(WebHarness::viewOf(*tab));
    for (const std::string keys : {"ctrl+shift+i", "F12"}) {
      ASSERT_TRUE(waitUntil([&] {
        auto* own = webkit_web_inspector_get_web_view(inspector);
        return own && gtk_widget_get_mapped(GTK_WIDGET(own));
      }));
      pressIn(GTK_WIDGET(webkit_web_inspector_get_web_view(inspector)), keys);
      ASSERT_TRUE(waitUntil([&] { return !open; })) << keys;
      pressIn(page, keys);
      ASSERT_TRUE(waitUntil([&] { return open; })) << keys;
    }
    EXPECT_FALSE(gtkInspectorShown());
    pressIn(page, "F12");
    ASSERT_TRUE(waitUntil([&] { return !open; }));
    EXPECT_EQ(keysSeenBy(*tab), "");
    g_signal_handler_disconnect(inspector, windowHandler);
    g_signal_handler_disconnect(inspector, attachHandler);
    g_signal_handler_disconnect(inspector, closeHandler);
  });
}

// Ctrl+U shows the page's markup as text in a new tab beside it; none of the page's script runs
// there. The tab is named after the page, its pill shows the page behind "view-source:", and the
// session keeps that address, never the text.
TEST_F(BrowserCommandsTest, SourceKeyShowsThePageMarkupAsTextInANewTab) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    const size_t before = tabs().size();
    pressKeys("ctrl+u");
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == before + 1; }));
    auto source = selected();
    ASSERT_NE(source, tab);
    WebKitWebView* view = WebHarness::viewOf(*source);
    std::string text;
    ASSERT_TRUE(waitUntil([&] {
      text =
          callJavaScript(view, "return document.body ? document.body.innerText : '';").value_or("");
      return text.find("<title>Alpha</title>") != std::string::npos;
    })) << text;
    EXPECT_NE(text.find("<script>"), std::string::npos);
    EXPECT_EQ(callJavaScript(view, "return typeof keys;"), "undefined");
    EXPECT_EQ(keysSeenBy(*tab), "");

    const auto at = size_t(std::ranges::find(tabs(), source) - tabs().begin());
    auto& row = *testing::allNamed<Gtk::Widget>(window(), "TabRow").at(at);
    EXPECT_TRUE(waitUntil([&] {
      return testing::accessibleName(row.gobj()) ==
                 withArgument(localized("Kaynak: %@"), "Alpha") &&
             testing::accessibleName(testing::widgetNamed(window(), "AddressPill").gobj()) ==
                 "view-source:127.0.0.1";
    }));
    EXPECT_TRUE(testing::sessionOnDiskHolds([&](const SessionSnapshot& session) {
      return std::ranges::any_of(session.spaces.front().tabs, [&](const TabSnapshot& each) {
        return each.url == Url::parse("view-source:" + tab->url.peek()->str());
      });
    }));
    EXPECT_EQ(home.readFile(SessionFiles().folder() / "session.json").find("data:"),
              std::string::npos);
  });
}

// 127.0.0.1 and localhost are two hosts on the one server.
Url onLocalhost(const testing::TestServer& server, const std::string& path) {
  std::string address = server.url(path);
  address.replace(address.find("127.0.0.1"), 9, "localhost");
  return *Url::parse(address);
}

TEST_F(BrowserCommandsTest, ZoomBelongsToTheHostAndEveryTabOnItFollows) {
  runBrowser([&] {
    auto other = store().tabs().openTab(onLocalhost(server, "/Gamma"), false);
    ASSERT_TRUE(WebHarness::waitForPage(*other, "Gamma"));
    auto alpha = openPage("Alpha");
    auto beta = openPage("Beta");
    pressKeys("ctrl+equal ctrl+equal");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*alpha) > 1.15; }));
    EXPECT_NEAR(zoomOf(*alpha), 1.2, 1e-9);
    EXPECT_NEAR(zoomOf(*beta), 1.2, 1e-9);
    EXPECT_DOUBLE_EQ(zoomOf(*other), 1.0);

    // A new tab on the host opens at its zoom, and a tab that goes there takes it.
    auto later = openPage("Gamma");
    EXPECT_NEAR(zoomOf(*later), 1.2, 1e-9);
    store().tabs().select(*other);
    other->load(server.address("/Beta"));
    ASSERT_TRUE(WebHarness::waitForPage(*other, "Beta"));
    EXPECT_NEAR(zoomOf(*other), 1.2, 1e-9);
    // ...and takes the default back on the other host.
    other->load(onLocalhost(server, "/Gamma"));
    ASSERT_TRUE(WebHarness::waitForPage(*other, "Gamma"));
    EXPECT_DOUBLE_EQ(zoomOf(*other), 1.0);

    // Actual size gives the host back to the default zoom, in every tab on it.
    store().preferences().updatePrefs([](AppPreferences& prefs) { prefs.defaultZoom = 0.9; });
    store().tabs().select(*later);
    focusPage(*later);
    pressKeys("ctrl+0");
    ASSERT_TRUE(waitUntil([&] { return zoomOf(*alpha) < 1.0; }));
    EXPECT_DOUBLE_EQ(zoomOf(*beta), 0.9);
    EXPECT_DOUBLE_EQ(zoomOf(*later), 0.9);
    EXPECT_DOUBLE_EQ(zoomOf(*other), 0.9);
    EXPECT_FALSE(alpha->services()->siteZoom.zoomFor("127.0.0.1"));
  });
}

}  // namespace
}  // namespace zemblo
