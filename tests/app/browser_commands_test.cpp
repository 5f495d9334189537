#include "app/browser_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "app/zemblo_app.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/tabs_model.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_window.h"
#include "sidebar/sidebar_view.h"
#include "support/temp_home.h"
#include "web/web_harness.h"
#include "window/browser_window.h"
#include "window/command_bar.h"
#include "window/content_area.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// Real X input to the browser window, which is the only window titled "Zemblo".
void pressKeys(const std::string& keys) {
  const std::string command =
      "xdotool search --sync --onlyvisible --name '^Zemblo$' windowfocus %1 key " + keys;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The text of the tooltip the window shows now; empty when it shows none.
std::string shownTooltip(Gtk::Window& window) {
  for (auto* child = window.get_first_child(); child; child = child->get_next_sibling()) {
    if (std::string_view(G_OBJECT_TYPE_NAME(child->gobj())) != "GtkTooltipWindow") continue;
    if (!child->get_mapped()) return "";
    for (auto* part = child->get_first_child(); part; part = part->get_first_child()) {
      for (auto* each = part; each; each = each->get_next_sibling()) {
        if (auto* label = dynamic_cast<Gtk::Label*>(each)) return label->get_text();
      }
    }
  }
  return "";
}

// Counts the toolkit's questions to a widget for its tooltip. A move of the pointer over it
// brings two, one at once and one when the toolkit means to show the tooltip a moment later.
struct TooltipQuestions {
  explicit TooltipQuestions(Gtk::Widget& widget) : widget(widget.gobj()) {
    hook = g_signal_add_emission_hook(signal, 0, &asked, this, nullptr);
  }
  ~TooltipQuestions() { g_signal_remove_emission_hook(signal, hook); }
  static gboolean asked(GSignalInvocationHint*, guint, const GValue* values, gpointer self) {
    auto* questions = static_cast<TooltipQuestions*>(self);
    if (g_value_get_object(&values[0]) == questions->widget) ++questions->count;
    return TRUE;
  }
  GtkWidget* widget;
  guint signal = g_signal_lookup("query-tooltip", GTK_TYPE_WIDGET);
  gulong hook = 0;
  int count = 0;
};

// Real pointer input to the browser window, without raising it above the others.
void pointer(const std::string& actions) {
  Glib::spawn_command_line_async("xdotool search --sync --onlyvisible --name '^Zemblo$' " +
                                 actions);
}

double zoomOf(BrowserTab& tab) { return webkit_web_view_get_zoom_level(WebHarness::viewOf(tab)); }

// The button of the open popover's menu item titled `title`, in any of its submenus.
GtkWidget* menuButton(GtkWidget* root, const std::string& title) {
  for (auto* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (g_type_is_a(G_OBJECT_TYPE(child), g_type_from_name("GtkModelButton"))) {
      gchar* text = nullptr;
      g_object_get(child, "text", &text, nullptr);
      const bool match = text && title == text;
      g_free(text);
      if (match) return child;
    }
    if (auto* found = menuButton(child, title)) return found;
  }
  return nullptr;
}

// The key the open popover shows next to the item.
std::string shownKeyOf(Gtk::Widget& popover, const std::string& title) {
  GtkWidget* button = menuButton(popover.gobj(), title);
  if (!button) return "";
  gchar* accel = nullptr;
  g_object_get(button, "accel", &accel, nullptr);
  const std::string key = accel ? accel : "";
  g_free(accel);
  return key;
}

// Every key the page sees is written down, so a test can tell that shortcuts never reach it.
constexpr const char* kKeyLog =
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
    char name[] = "zemblo-browser";
    char* argv[] = {name, nullptr};
    app->run(1, argv);
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
    CommandBar* bar = window().commandBarLayer().bar();
    return bar && bar->field().has_focus();
  }
  std::string keysSeenBy(BrowserTab& tab) {
    return callJavaScript(WebHarness::viewOf(tab), "return keys.join(' ');").value_or("?");
  }

  testing::TempHome home;
  TestServer server;
  Glib::RefPtr<ZembloApp> app;
};

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

    // With no tab in the space, closing does nothing and the window stays.
    store().tabs().closeAllTabsInCurrentSpace();
    pressIgnoredKeys("ctrl+w");
    EXPECT_TRUE(window().get_visible());
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
    EXPECT_EQ(keysSeenBy(*beta), "");
  });
}

TEST_F(BrowserCommandsTest, BackForwardAndReloadKeysDriveTheCurrentPage) {
  runBrowser([&] {
    auto tab = openPage("Alpha");
    tab->load(server.address("/Beta"));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));
    ASSERT_TRUE(waitUntil([&] { return tab->canGoBack.peek(); }));
    focusPage(*tab);

    pressKeys("ctrl+bracketleft");
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Alpha"));
    EXPECT_EQ(tab->url.peek(), server.address("/Alpha"));
    ASSERT_TRUE(waitUntil([&] { return tab->canGoForward.peek(); }));
    pressKeys("ctrl+bracketright");
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));

    const int hits = server.hits("/Beta");
    focusPage(*tab);
    pressKeys("ctrl+r");
    ASSERT_TRUE(waitUntil([&] { return server.hits("/Beta") == hits + 1; }));
    ASSERT_TRUE(WebHarness::waitForPage(*tab, "Beta"));
    EXPECT_EQ(tab->url.peek(), server.address("/Beta"));
  });
}

// The keys other Linux browsers use, and the space keys the desktop leaves alone, do what the
// menu's own keys do, over a page that has the keyboard.
TEST_F(BrowserCommandsTest, SecondKeysReachTheSameCommandsOverAFocusedPage) {
  runBrowser([&] {
    auto alpha = openPage("Alpha");
    auto beta = openPage("Beta");
    ASSERT_EQ(tabs(), (Space::TabList{beta, alpha}));
    pressKeys("ctrl+Page_Down");
    ASSERT_TRUE(waitUntil([&] { return selected() == alpha; }));
    focusPage(*alpha);
    pressKeys("ctrl+Page_Up");
    ASSERT_TRUE(waitUntil([&] { return selected() == beta; }));

    beta->load(server.address("/Gamma"));
    ASSERT_TRUE(WebHarness::waitForPage(*beta, "Gamma"));
    ASSERT_TRUE(waitUntil([&] { return beta->canGoBack.peek(); }));
    focusPage(*beta);
    pressKeys("alt+Left");
    ASSERT_TRUE(WebHarness::waitForPage(*beta, "Beta"));
    ASSERT_TRUE(waitUntil([&] { return beta->canGoForward.peek(); }));
    pressKeys("alt+Right");
    ASSERT_TRUE(WebHarness::waitForPage(*beta, "Gamma"));
    const int hits = server.hits("/Gamma");
    pressKeys("F5");
    ASSERT_TRUE(waitUntil([&] { return server.hits("/Gamma") == hits + 1; }));
    ASSERT_TRUE(WebHarness::waitForPage(*beta, "Gamma"));

    focusPage(*beta);
    pressKeys("F6");
    ASSERT_TRUE(
        waitUntil([&] { return store().tabs().commandBar.peek() == CommandBarMode::currentTab; }));
    ASSERT_TRUE(waitUntil([&] { return commandBarHasFocus(); }));
    store().tabs().commandBar.set(std::nullopt);

    const auto spaces = store().tabs().spaces.peek();
    ASSERT_EQ(store().tabs().currentSpaceID.peek(), spaces[0]->id);
    focusPage(*beta);
    pressKeys("ctrl+shift+Page_Down");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[1]->id; }));
    pressKeys("ctrl+shift+Page_Up");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().currentSpaceID.peek() == spaces[0]->id; }));
    EXPECT_EQ(keysSeenBy(*beta), "");
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
    ASSERT_TRUE(waitUntil([&] { return window().contentArea().findBarShown(); }));
    EXPECT_TRUE(store().tabs().findBarVisible.peek());
    focusPage(*tab);
    pressKeys("ctrl+f");
    ASSERT_TRUE(waitUntil([&] { return !window().contentArea().findBarShown(); }));
    EXPECT_FALSE(store().tabs().findBarVisible.peek());

    ASSERT_TRUE(store().tabs().sidebarVisible.peek());
    store().saveNow();
    pressKeys("ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return !store().tabs().sidebarVisible.peek(); }));
    EXPECT_TRUE(store().hasPendingSave());  // the sidebar's state is saved with the session
    pressKeys("ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return store().tabs().sidebarVisible.peek(); }));

    // The item's title reads the setting; every change of it builds the menus again.
    auto darkModeTitle = [&] {
      for (const auto& menu : menu().commands().menus()) {
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
    ASSERT_TRUE(waitUntil([&] { return menu().commands().pageDarkMode == PageDarkMode::always; }));
    EXPECT_EQ(store().preferences().prefs().pageDarkMode, PageDarkMode::always);
    EXPECT_EQ(darkModeTitle(), localized("Sayfa Karanlık Modunu Kapat"));
    // Following the theme reads as on, and the item turns it off.
    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.pageDarkMode = PageDarkMode::withTheme; });
    ASSERT_TRUE(
        waitUntil([&] { return menu().commands().pageDarkMode == PageDarkMode::withTheme; }));
    EXPECT_EQ(darkModeTitle(), localized("Sayfa Karanlık Modunu Kapat"));
    pressKeys("ctrl+alt+d");
    ASSERT_TRUE(waitUntil([&] { return menu().commands().pageDarkMode == PageDarkMode::off; }));
    EXPECT_EQ(darkModeTitle(), localized("Sayfaları Karanlık Yap"));
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

    ASSERT_TRUE(app->passwordsWindow());
    EXPECT_FALSE(app->passwordsWindow()->importSheet());
    window().activate_action("win.import-passwords");
    EXPECT_TRUE(passwordsShown());
    ASSERT_TRUE(app->passwordsWindow()->importSheet());
    EXPECT_TRUE(app->passwordsWindow()->importSheet()->get_visible());

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

// A button that opens a window or a popover takes its tooltip away while that is shown, under a
// pointer that stays over the button.
TEST_F(BrowserCommandsTest, ButtonsKeepTheirTooltipsOffWhatTheyOpen) {
  runBrowser([&] {
    auto& bar = window().sidebarView().bottomBar();
    const auto passwordsShown = [&] {
      for (auto* shown : app->get_windows()) {
        if (shown != &window() && shown->get_visible()) return true;
      }
      return false;
    };
    auto& downloads = bar.downloadsButton().popover();
    const std::vector<std::pair<Gtk::Widget*, std::function<bool()>>> openers{
        {&bar.downloadsButton().face(), [&] { return downloads.get_mapped(); }},
        {&bar.passwordsButton(), passwordsShown},
    };
    for (const auto& [button, opened] : openers) {
      const std::string tooltip = button->get_tooltip_text();
      SCOPED_TRACE(tooltip);
      graphene_rect_t frame;
      ASSERT_TRUE(gtk_widget_compute_bounds(button->gobj(), GTK_WIDGET(window().gobj()), &frame));
      double frameX = 0, frameY = 0;
      gtk_native_get_surface_transform(GTK_NATIVE(window().gobj()), &frameX, &frameY);
      pointer("mousemove --window %1 " + std::to_string(int(frameX + frame.origin.x + 10)) + " " +
              std::to_string(int(frameY + frame.origin.y + 10)));
      ASSERT_TRUE(waitUntil([&] { return button->has_css_class("hovering"); }));
      // Moves within the button, once the window knows the pointer is there, until the toolkit
      // shows the tooltip: it may still take the pointer for in a window of an earlier test.
      for (int move = 0; move < 4 && shownTooltip(window()) != tooltip; ++move) {
        TooltipQuestions asked(*button);
        pointer(move % 2 == 0 ? "mousemove_relative 1 0" : "mousemove_relative -- -1 0");
        ASSERT_TRUE(waitUntil([&] { return asked.count >= 2; }));
        while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
      }
      ASSERT_EQ(shownTooltip(window()), tooltip);
      pointer("click 1");
      ASSERT_TRUE(waitUntil(opened));
      TooltipQuestions questions(*button);
      pointer("mousemove_relative 1 0");
      ASSERT_TRUE(waitUntil([&] { return questions.count >= 2; }));
      // A tooltip the answers brought would be on screen once the loop has nothing left to do.
      while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
      EXPECT_EQ(shownTooltip(window()), "");
      downloads.popdown();
    }
    // Off the sidebar's buttons: a browser the next test starts here would show their tooltips.
    pointer("mousemove --window %1 1000 400");
  });
}

TEST_F(BrowserCommandsTest, MenusCarryEveryItemAndFollowTheLanguageAndF10OpensThem) {
  runBrowser([&] {
    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.language = AppLanguage::turkish; });
    ASSERT_TRUE(waitUntil([&] { return menu().commands().language == AppLanguage::turkish; }));

    const auto model = menu().model();
    auto titles = [&] {
      std::vector<std::string> found;
      for (int i = 0; i < model->get_n_items(); ++i) {
        const auto label = model->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL,
                                                     Glib::VARIANT_TYPE_STRING);
        found.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get());
      }
      return found;
    };
    // The desktop's menus keep the language the browser started in; "Gezinti" is the browser's.
    const std::vector<std::string> standard =
        isEnglish(store().preferences().launchLanguage())
            ? std::vector<std::string>{"File", "Edit", "View"}
            : std::vector<std::string>{"Dosya", "Düzenle", "Görüntü"};
    auto expected = standard;
    expected.push_back("Gezinti");
    EXPECT_EQ(titles(), expected);

    // Every item names an action that exists and keys that GTK understands.
    int numbered = 0;
    for (const auto& submenu : menu().commands().menus()) {
      for (const auto& section : submenu.sections) {
        for (const auto& item : section) {
          Glib::ustring name;
          Glib::VariantBase target;
          Gio::Action::parse_detailed_name_variant(item.action, name, target);
          const std::string bare = name.substr(4);
          const bool found = name.raw().starts_with("app.") ? bool(app->lookup_action(bare))
                                                            : bool(window().lookup_action(bare));
          EXPECT_TRUE(found) << item.action;
          for (const auto& key : item.keys) {
            EXPECT_TRUE(Gtk::ShortcutTrigger::parse_string(key)) << key;
          }
          if (name == "win.select-tab") ++numbered;
        }
      }
    }
    EXPECT_EQ(numbered, 9);

    auto navigateItems = [&] { return menu().commands().menus().back().sections.back(); };
    EXPECT_EQ(navigateItems()[2].title, "Sekme 3");
    EXPECT_EQ(navigateItems()[8].title, "Son Sekme");

    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.language = AppLanguage::english; });
    ASSERT_TRUE(waitUntil([&] { return menu().commands().language == AppLanguage::english; }));
    expected.back() = "Navigate";
    EXPECT_EQ(titles(), expected);
    EXPECT_EQ(navigateItems()[2].title, "Tab 3");
    EXPECT_EQ(navigateItems()[8].title, "Last Tab");

    // F10 opens the menus over the window, showing each item's key, and closes them again, also
    // from a page.
    auto tab = openPage("Alpha");
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return menu().popover().get_mapped(); }));
    EXPECT_EQ(menu().popover().get_parent(), &window());
    EXPECT_EQ(shownKeyOf(menu().popover(), "New Tab"), "<Control>t");
    EXPECT_EQ(shownKeyOf(menu().popover(), "Zoom In"), "<Control>equal");
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return !menu().popover().get_visible(); }));
    // The closed popover lets go of the keyboard in work it queues for a later turn.
    testing::drain();

    // Its items run their commands.
    const size_t count = tabs().size();
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return menu().popover().get_mapped(); }));
    GtkWidget* newTab = menuButton(GTK_WIDGET(menu().popover().gobj()), "New Tab");
    ASSERT_TRUE(newTab);
    gtk_widget_activate(newTab);
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == count + 1; }));
    EXPECT_TRUE(selected()->showsStartPage());
    EXPECT_FALSE(menu().popover().get_visible());
    EXPECT_EQ(keysSeenBy(*tab), "");
  });
}

}  // namespace
}  // namespace zemblo
