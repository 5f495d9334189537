#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/browser_commands_harness.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"
#include "support/find_widget.h"
#include "support/x_input.h"
#include "window/accessibility_tree.h"

namespace zemblo {
namespace {

using testing::BrowserCommandsTest;
using testing::pressKeys;
using testing::waitUntil;
using namespace std::chrono_literals;

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
  testing::runBesideMainLoop(testing::xdotoolOn("Zemblo", actions));
}

// The button of the open popover's menu item titled `title`, in any of its submenus.
GtkWidget* menuButton(GtkWidget* root, const std::string& title) {
  return testing::findFirst(root, [&](GtkWidget* widget) {
    if (!g_type_is_a(G_OBJECT_TYPE(widget), g_type_from_name("GtkModelButton"))) return false;
    gchar* text = nullptr;
    g_object_get(widget, "text", &text, nullptr);
    const bool match = text && title == text;
    g_free(text);
    return match;
  });
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

// The text of the menu item with the keyboard focus; empty when the focus is on none.
std::string focusedItem(Gtk::Window& window) {
  GtkWidget* focus = window.get_focus() ? window.get_focus()->gobj() : nullptr;
  if (!focus || !g_type_is_a(G_OBJECT_TYPE(focus), g_type_from_name("GtkModelButton"))) return "";
  gchar* text = nullptr;
  g_object_get(focus, "text", &text, nullptr);
  const std::string title = text ? text : "";
  g_free(text);
  return title;
}

// Moves the real pointer onto the open menu item titled `title`, which may be in a menu opened
// from another: each menu's place is given from the one it opened from, the first's from the
// window.
void pointAtItem(Gtk::Widget& popover, const std::string& title) {
  GtkWidget* item = menuButton(popover.gobj(), title);
  ASSERT_TRUE(item);
  GtkNative* menu = gtk_widget_get_native(item);
  // Once the menu has been laid out, the item lies inside it, below its edge.
  graphene_rect_t bounds;
  ASSERT_TRUE(waitUntil([&] {
    return gtk_widget_compute_bounds(item, GTK_WIDGET(menu), &bounds) && bounds.origin.y > 0;
  }));
  double x = 0, y = 0;
  gtk_native_get_surface_transform(menu, &x, &y);
  x += bounds.origin.x + 20, y += bounds.origin.y + bounds.size.height / 2;
  for (GdkSurface* at = gtk_native_get_surface(menu); GDK_IS_POPUP(at);
       at = gdk_popup_get_parent(GDK_POPUP(at))) {
    x += gdk_popup_get_position_x(GDK_POPUP(at)), y += gdk_popup_get_position_y(GDK_POPUP(at));
  }
  pointer("mousemove --window %1 " + std::to_string(int(x)) + " " + std::to_string(int(y)));
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
    auto& downloadsButton = testing::widgetNamed(bar, "DownloadsButton");
    auto& downloads = testing::popoverOf(downloadsButton);
    const std::vector<std::pair<Gtk::Widget*, std::function<bool()>>> openers{
        {&testing::widgetNamed(downloadsButton, "SidebarIconButton"),
         [&] { return downloads.get_mapped(); }},
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
    ASSERT_TRUE(waitUntil([&] { return menusIn(AppLanguage::turkish); }));
    EXPECT_TRUE(menusShow(commandsIn(AppLanguage::turkish)));

    auto titles = [&] {
      std::vector<std::string> found;
      for (const auto& shown : shownMenus()) found.push_back(shown.title);
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
    // The menus show these commands; their keys beyond the first are shortcuts only.
    for (const auto& submenu : commandsIn(AppLanguage::turkish).menus()) {
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

    auto navigateItems = [&] { return shownMenus().back().sections.back(); };
    EXPECT_EQ(navigateItems()[2].title, "Sekme 3");
    EXPECT_EQ(navigateItems()[8].title, "Son Sekme");

    store().preferences().updatePrefs(
        [](AppPreferences& prefs) { prefs.language = AppLanguage::english; });
    ASSERT_TRUE(waitUntil([&] { return menusIn(AppLanguage::english); }));
    expected.back() = "Navigate";
    EXPECT_EQ(titles(), expected);
    EXPECT_EQ(navigateItems()[2].title, "Tab 3");
    EXPECT_EQ(navigateItems()[8].title, "Last Tab");

    // F10 opens the menus over the window, showing each item's key, and closes them again, also
    // from a page.
    auto tab = openPage("Alpha");
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return menuPopover().get_mapped(); }));
    EXPECT_EQ(menuPopover().get_parent(), &window());
    EXPECT_EQ(shownKeyOf(menuPopover(), "New Tab"), "<Control>t");
    EXPECT_EQ(shownKeyOf(menuPopover(), "Zoom In"), "<Control>equal");
    // Screen readers read the menus and their items by name.
    testing::readControls();
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return !menuPopover().get_visible(); }));
    // The closed popover lets go of the keyboard in work it queues for a later turn.
    testing::drain();

    // The arrow keys move on from the row under a pointer that rests over the menus, and the
    // selection stays where they put it: the toolkit would take it back to that row a moment
    // after each key, also once the menus were closed and opened again under the pointer. It
    // selects the row under a pointer it sees move 80 ms later, so each row is given 500 ms.
    const auto staysOn = [&](const std::string& item) {
      ASSERT_TRUE(waitUntil([&] { return focusedItem(window()) == item; }));
      EXPECT_FALSE(waitUntil([&] { return focusedItem(window()) != item; }, 500ms))
          << item << " gave way to " << focusedItem(window());
    };
    const auto stepsTo = [&](const char* key, const std::string& item) {
      pressKeys(key);
      staysOn(item);
    };
    pointer("mousemove --window %1 1000 400");
    for (int opening = 0; opening < 2; ++opening) {
      SCOPED_TRACE(opening);
      pressKeys("F10");
      ASSERT_TRUE(waitUntil([&] { return menuPopover().get_mapped(); }));
      pressKeys("Right");
      ASSERT_TRUE(waitUntil([&] {
        return gtk_widget_get_mapped(menuButton(GTK_WIDGET(menuPopover().gobj()), "New Tab"));
      }));
      if (opening == 0) pointAtItem(menuPopover(), "Reopen Closed Tab");
      staysOn("Reopen Closed Tab");
      stepsTo("Down", "New Window");
      stepsTo("Down", "New Private Window");
      stepsTo("Up", "New Window");
      pressKeys("Escape Escape");
      ASSERT_TRUE(waitUntil([&] { return !menuPopover().get_visible(); }));
      testing::drain();
    }
    pointer("mousemove --window %1 1000 400");
    // In a menu of one item the arrows stay on it: its scroll pane never takes the focus.
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return menuPopover().get_mapped(); }));
    stepsTo("Down Right", "Find in Page…");
    stepsTo("Down", "Find in Page…");
    pressKeys("Escape Escape");
    ASSERT_TRUE(waitUntil([&] { return !menuPopover().get_visible(); }));
    testing::drain();

    // Its items run their commands.
    const size_t count = tabs().size();
    pressKeys("F10");
    ASSERT_TRUE(waitUntil([&] { return menuPopover().get_mapped(); }));
    GtkWidget* newTab = menuButton(GTK_WIDGET(menuPopover().gobj()), "New Tab");
    ASSERT_TRUE(newTab);
    gtk_widget_activate(newTab);
    ASSERT_TRUE(waitUntil([&] { return tabs().size() == count + 1; }));
    EXPECT_TRUE(selected()->showsStartPage());
    EXPECT_FALSE(menuPopover().get_visible());
    EXPECT_EQ(keysSeenBy(*tab), "");
  });
}

}  // namespace
}  // namespace zemblo
