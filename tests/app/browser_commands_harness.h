#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_run.h"
#include "app/app_windows.h"
#include "app/browser_commands.h"
#include "app/zemblo_app.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "support/find_window.h"
#include "support/logged_criticals.h"
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

// A string attribute of a menu model's item; empty when it has none.
inline std::string menuAttribute(GMenuModel* model, int item, const char* name) {
  gchar* value = nullptr;
  if (!g_menu_model_get_item_attribute(model, item, name, "s", &value)) return {};
  std::string text(value);
  g_free(value);
  return text;
}

// The menus a menu model holds, each item with the one key the menu shows beside it.
inline std::vector<BrowserCommands::Menu> menusOf(GMenuModel* model) {
  std::vector<BrowserCommands::Menu> menus;
  for (int i = 0; i < g_menu_model_get_n_items(model); ++i) {
    BrowserCommands::Menu& menu = menus.emplace_back();
    menu.title = menuAttribute(model, i, G_MENU_ATTRIBUTE_LABEL);
    GMenuModel* submenu = g_menu_model_get_item_link(model, i, G_MENU_LINK_SUBMENU);
    for (int s = 0; submenu && s < g_menu_model_get_n_items(submenu); ++s) {
      GMenuModel* items = g_menu_model_get_item_link(submenu, s, G_MENU_LINK_SECTION);
      BrowserCommands::Section& section = menu.sections.emplace_back();
      for (int k = 0; items && k < g_menu_model_get_n_items(items); ++k) {
        BrowserCommands::Item& item = section.emplace_back();
        item.title = menuAttribute(items, k, G_MENU_ATTRIBUTE_LABEL);
        item.action = menuAttribute(items, k, G_MENU_ATTRIBUTE_ACTION);
        if (GVariant* target =
                g_menu_model_get_item_attribute_value(items, k, G_MENU_ATTRIBUTE_TARGET, nullptr)) {
          gchar* detailed = g_action_print_detailed_name(item.action.c_str(), target);
          item.action = detailed;
          g_free(detailed);
          g_variant_unref(target);
        }
        if (auto key = menuAttribute(items, k, "accel"); !key.empty()) item.keys.push_back(key);
      }
      if (items) g_object_unref(items);
    }
    if (submenu) g_object_unref(submenu);
  }
  return menus;
}

// One line for each item of the menus, with its first key only, as a menu shows it.
inline std::vector<std::string> menuLines(const std::vector<BrowserCommands::Menu>& menus) {
  std::vector<std::string> lines;
  for (const auto& menu : menus) {
    lines.push_back(menu.title);
    for (const auto& section : menu.sections) {
      lines.push_back("—");
      for (const auto& item : section) {
        lines.push_back(item.title + " " + item.action + " " +
                        (item.keys.empty() ? "" : item.keys.front()));
      }
    }
  }
  return lines;
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
            // A toolkit rule broken on the way (a role set on a shown widget) fails the test.
            EXPECT_EQ(loggedCriticals(), std::vector<std::string>{});
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
  // The first window, whose tabs are the store's own.
  BrowserWindow& window() { return *browserWindowShowing(*app, store().tabs()); }
  // The menus' popover, which F10 opens over the window.
  Gtk::PopoverMenu& menuPopover() {
    return widgetNamed<Gtk::PopoverMenu>(window(), "BrowserMenuPopover");
  }
  // What the menus of the window show.
  std::vector<BrowserCommands::Menu> shownMenus() {
    return menusOf(menuPopover().get_menu_model()->gobj());
  }
  // The first window's commands in `language`, with the page dark mode set now.
  BrowserCommands commandsIn(AppLanguage language) {
    return BrowserCommands(store(), language, store().preferences().prefs().pageDarkMode,
                           &store().tabs());
  }
  // Whether the menus have been built anew in `language`: their own menu's title is in it.
  bool menusIn(AppLanguage language) {
    const auto menus = shownMenus();
    return !menus.empty() &&
           menus.back().title == (isEnglish(language) ? englishText("Gezinti") : "Gezinti");
  }
  // Whether the menus show `commands`: they have been built anew after a change of language or
  // page dark mode.
  bool menusShow(const BrowserCommands& commands) {
    return menuLines(shownMenus()) == menuLines(commands.menus());
  }
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
