#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/browser_commands.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/general_pane.h"
#include "settings/panes/sidebar_pane.h"
#include "settings/panes/window_pane.h"
#include "support/find_pane_controls.h"
#include "support/find_window.h"
#include "window/card_drawing.h"
#include "window/command_bar.h"

namespace zemblo {
namespace {

using testing::badge;
using testing::cardTitles;
using testing::click;
using testing::drag;
using testing::dropDown;
using testing::flip;
using testing::named;
using testing::PrefsWrites;
using testing::pressed;
using testing::pump;
using testing::row;
using testing::segment;
using testing::SettingsHarness;
using testing::slider;
using testing::switchNamed;

// The caps a menu accelerator reads as, modifiers first ("<Control><Shift>t": Ctrl, Shift, T).
std::vector<std::string> capsOf(const std::string& accelerator) {
  guint key = 0;
  GdkModifierType modifiers{};
  EXPECT_TRUE(gtk_accelerator_parse(accelerator.c_str(), &key, &modifiers)) << accelerator;
  std::vector<std::string> caps;
  if (modifiers & GDK_CONTROL_MASK) caps.push_back("Ctrl");
  if (modifiers & GDK_SHIFT_MASK) caps.push_back("Shift");
  if (modifiers & GDK_ALT_MASK) caps.push_back("Alt");
  caps.push_back(gdk_keyval_name(gdk_keyval_to_upper(key)));
  return caps;
}

// Each key combination a row of the list stands for; a range cap stands for several keys.
std::set<std::vector<std::string>> combinationsOf(std::vector<std::string> caps) {
  const std::map<std::string, std::vector<std::string>> ranges{
      {"1\u20139", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
      {"\u2190 \u2192", {"Left", "Right"}},
      {"Page Up/Down", {"Page_Up", "Page_Down"}}};
  const std::string last = caps.back();
  caps.pop_back();
  std::set<std::vector<std::string>> combinations;
  const auto range = ranges.find(last);
  for (const std::string& key : range == ranges.end() ? std::vector{last} : range->second) {
    auto combination = caps;
    combination.push_back(key);
    combinations.insert(combination);
  }
  return combinations;
}

// A line of the shortcut list as shown: its title and the caps of each combination.
struct ShownShortcut {
  std::string title;
  std::vector<std::vector<std::string>> combinations;
};

std::vector<ShownShortcut> shownShortcuts(Gtk::Widget& pane) {
  std::vector<ShownShortcut> shown;
  for (GtkWidget* row : testing::findAll(pane.gobj(), [](GtkWidget* widget) {
         return gtk_widget_get_name(widget) == std::string("ShortcutRow");
       })) {
    ShownShortcut line;
    for (GtkWidget* part = gtk_widget_get_first_child(row); part;
         part = gtk_widget_get_next_sibling(part)) {
      if (GTK_IS_LABEL(part) && gtk_widget_has_css_class(part, "settings-row-title")) {
        line.title = gtk_label_get_text(GTK_LABEL(part));
      } else if (GTK_IS_BOX(part)) {
        std::vector<std::string> caps;
        for (GtkWidget* cap = gtk_widget_get_first_child(part); cap;
             cap = gtk_widget_get_next_sibling(cap)) {
          caps.push_back(gtk_label_get_text(GTK_LABEL(cap)));
        }
        line.combinations.push_back(caps);
      }
    }
    shown.push_back(line);
  }
  return shown;
}

std::vector<std::string> titlesOf(Gtk::Widget& pane) {
  std::vector<std::string> titles;
  for (const ShownShortcut& line : shownShortcuts(pane)) titles.push_back(line.title);
  return titles;
}

TEST(GeneralPaneTest, LanguageOffersARestartEngineAndStartupSettingsAreStoredAndKeysMatchTheMenus) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  ASSERT_EQ(store.preferences().launchLanguage(), AppLanguage::system);
  auto* pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  // The harness chose Turkish after the start: a restart would change the desktop's texts.
  EXPECT_TRUE(row(*pane, "Yeniden Başlat").get_visible());
  EXPECT_EQ(named(*pane, "Yeniden Başlat").get_label(), "Yeniden Başlat");
  EXPECT_EQ(titlesOf(*pane),
            (std::vector<std::string>{"Yeni sekme", "Adres çubuğu", "Sekmeyi kapat",
                                      "Kapatılan sekmeyi geri aç", "Kenar çubuğunu göster/gizle",
                                      "Sekmeler arasında geçiş", "Alanlar arasında geçiş",
                                      "Sayfada bul", "Şifreler", "Sayfa karanlık modu"}));
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-general-tr");

  // Every row's keys are those of the menu items it describes.
  const std::vector<std::vector<std::string>> actions{
      {"win.new-tab"},
      {"win.address-bar"},
      {"win.close-tab"},
      {"win.reopen-closed-tab"},
      {"win.toggle-sidebar"},
      {"win.select-tab(1)", "win.select-tab(2)", "win.select-tab(3)", "win.select-tab(4)",
       "win.select-tab(5)", "win.select-tab(6)", "win.select-tab(7)", "win.select-tab(8)",
       "win.select-tab(9)"},
      {"win.next-space", "win.previous-space"},
      {"win.find"},
      {"app.passwords"},
      {"win.toggle-page-dark-mode"}};
  std::map<std::string, std::string> menuKeys, secondMenuKeys;
  for (const auto& menu : BrowserCommands(store, AppLanguage::turkish, PageDarkMode::off).menus()) {
    for (const auto& section : menu.sections) {
      for (const auto& item : section) {
        if (!item.keys.empty()) menuKeys[item.action] = item.keys.front();
        if (item.keys.size() > 1) secondMenuKeys[item.action] = item.keys.back();
      }
    }
  }
  const std::vector<ShownShortcut> shortcuts = shownShortcuts(*pane);
  ASSERT_EQ(shortcuts.size(), actions.size());
  for (size_t row = 0; row < actions.size(); ++row) {
    std::set<std::vector<std::string>> fromMenu;
    for (const std::string& action : actions[row]) fromMenu.insert(capsOf(menuKeys[action]));
    ASSERT_FALSE(shortcuts[row].combinations.empty()) << row;
    EXPECT_EQ(combinationsOf(shortcuts[row].combinations.front()), fromMenu) << row;
  }
  // Spaces also list the keys a desktop that takes Ctrl+Alt+arrows leaves to the browser.
  std::set<std::vector<std::string>> spaceKeys;
  for (const char* action : {"win.next-space", "win.previous-space"}) {
    spaceKeys.insert(capsOf(secondMenuKeys[action]));
  }
  ASSERT_EQ(shortcuts[6].combinations.size(), 2u);
  EXPECT_EQ(combinationsOf(shortcuts[6].combinations.back()), spaceKeys);

  // The engine: shown from the store, stored under its case name when picked.
  Gtk::DropDown& engines = dropDown(*pane, "Arama motoru");
  EXPECT_EQ(engines.get_selected(), 0u);
  engines.set_selected(2);
  pump();
  EXPECT_EQ(store.preferences().searchEngine.peek(), SearchEngine::bing);
  EXPECT_EQ(harness.defaults().stringValue("searchEngine"), "bing");
  PrefsWrites writes(store);
  flip(switchNamed(*pane, "Son oturumu geri yükle"));
  drag(slider(*pane, "Varsayılan yakınlaştırma"), 0.5);
  EXPECT_EQ(badge(*pane, "Varsayılan yakınlaştırma"), "%50");
  drag(slider(*pane, "Varsayılan yakınlaştırma"), 2.04);
  EXPECT_EQ(badge(*pane, "Varsayılan yakınlaştırma"), "%200");
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"restoreSession", "defaultZoom", "defaultZoom"}));
  const AppPreferences saved = testing::savedPrefs(harness);
  EXPECT_FALSE(saved.restoreSession);
  EXPECT_EQ(saved.defaultZoom, 2.0);

  // English from the cards: the interface switches at once, the desktop's key follows.
  click(named(*pane, "English"));
  EXPECT_TRUE(L10n::isEnglish());
  EXPECT_EQ(harness.defaults().stringArray("AppleLanguages"), std::vector<std::string>{"en"});
  pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  EXPECT_EQ(named(*pane, "Restart").get_label(), "Restart");
  EXPECT_EQ(cardTitles(*pane, "English").front(), "System");
  EXPECT_EQ(badge(*pane, "Default zoom"), "200%");
  EXPECT_EQ(
      titlesOf(*pane),
      (std::vector<std::string>{"New tab", "Address bar", "Close tab", "Reopen closed tab",
                                "Show/hide sidebar", "Switch between tabs", "Switch between spaces",
                                "Find in page", "Passwords", "Page dark mode"}));
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-general-en");
  // The language it started in takes the offer away; the key is removed for the system's.
  click(named(*pane, "System"));
  pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  EXPECT_FALSE(row(*pane, "Restart").get_visible());
  EXPECT_FALSE(harness.defaults().contains("AppleLanguages"));
}

TEST(SidebarPaneTest, ControlsMoveAndResizeTheBrowsersSidebarAndSaveEachChange) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<SidebarPane>(harness, SettingsPane::sidebar);
  EXPECT_TRUE(pressed(named(pane, "Solda")));
  EXPECT_TRUE(pressed(named(pane, "Normal")));
  EXPECT_EQ(badge(pane, "Genişlik"), "264 pt");
  EXPECT_TRUE(segment(pane, "Sütun sayısı", "4").get_active());

  PrefsWrites writes(store);
  click(named(pane, "Sağda"));
  drag(slider(pane, "Genişlik"), 231.7);
  click(named(pane, "Sıkı"));
  click(segment(pane, "Sütun sayısı", "5"));
  flip(switchNamed(pane, "Favorileri göster"));
  EXPECT_EQ(writes.fields(), (std::vector<std::string>{"sidebarSide", "sidebarWidth", "tabDensity",
                                                       "favoriteColumns", "showFavorites"}));
  EXPECT_EQ(badge(pane, "Genişlik"), "232 pt");
  // The columns wait, dimmed, with their count kept.
  EXPECT_FALSE(row(pane, "Sütun sayısı").get_sensitive());
  EXPECT_NEAR(row(pane, "Sütun sayısı").get_opacity(), 0.45, 0.01);
  EXPECT_EQ(store.preferences().prefs().favoriteColumns, 5);
  EXPECT_EQ(testing::savedPrefs(harness), store.preferences().prefs());

  testing::pump();
  Gtk::Widget& column = testing::sidebarColumn(harness.window());
  const auto frame = testing::boundsIn(column, harness.window());
  EXPECT_EQ(frame.width, 232);
  EXPECT_GT(frame.x, harness.window().get_width() / 2);
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-sidebar-tr");

  harness.setLanguage(AppLanguage::english);
  auto& english = testing::showPane<SidebarPane>(harness, SettingsPane::sidebar);
  EXPECT_EQ(cardTitles(english, "Normal"),
            (std::vector<std::string>{"Compact", "Normal", "Spacious"}));
}

TEST(WindowPaneTest, PresetsWriteRadiusMarginAndShadowInOrderAndTheWindowFollowsEveryControl) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<WindowPane>(harness, SettingsPane::window);
  Gtk::Button& borderless = named(pane, "Kenarsız");
  EXPECT_TRUE(pressed(named(pane, "Yumuşak")));
  EXPECT_FALSE(pressed(borderless));

  PrefsWrites writes(store);
  click(borderless);
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"cornerRadius", "contentInset", "contentShadow"}));
  EXPECT_TRUE(pressed(borderless));
  EXPECT_EQ(badge(pane, "Köşe yuvarlaklığı"), "0 pt");
  EXPECT_EQ(badge(pane, "Kenar boşluğu"), "0 pt");
  EXPECT_FALSE(switchNamed(pane, "Gölge").get_active());
  EXPECT_EQ(testing::drawnCornerRadius(harness.content()), 0);
  EXPECT_FALSE(testing::castsShadow(harness.content()));
  // The marked preset again writes nothing.
  writes.clear();
  click(borderless);
  EXPECT_TRUE(writes.writes().empty());

  click(named(pane, "Yüzen"));
  drag(slider(pane, "Köşe yuvarlaklığı"), 13.4);
  EXPECT_FALSE(pressed(named(pane, "Yüzen")));
  EXPECT_EQ(harness.store().preferences().prefs().cornerRadius, 13);
  EXPECT_NEAR(testing::drawnCornerRadius(harness.content()), 13, 3.5);
  click(segment(pane, "Stil", "Gizli"));
  EXPECT_EQ(harness.store().preferences().prefs().progressStyle, ProgressStyle::hidden);
  flip(switchNamed(pane, "Arka planı karart"));

  store.tabs().commandBar.set(CommandBarMode::newTab);
  pump();
  CommandBar* bar = testing::activeView<CommandBar>(harness.window(), "CommandBar");
  ASSERT_TRUE(bar);
  const double top =
      testing::boundsIn(testing::widgetNamed(*bar, "CommandBarCard"), harness.window()).y;
  click(segment(pane, "Konum", "Ortada"));
  testing::pump();
  EXPECT_GT(testing::boundsIn(testing::widgetNamed(*bar, "CommandBarCard"), harness.window()).y,
            top);
  store.tabs().commandBar.set(std::nullopt);

  const AppPreferences saved = testing::savedPrefs(harness);
  EXPECT_EQ(saved.cornerRadius, 13);
  EXPECT_EQ(saved.contentInset, 14);
  EXPECT_EQ(saved.progressStyle, ProgressStyle::hidden);
  EXPECT_EQ(saved.commandBarPosition, CommandBarPosition::center);
  EXPECT_FALSE(saved.dimBehindCommandBar);
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-window-tr");
}

// Tab reaches every control of the panes, and each carries a name for assistive technologies.
TEST(PanesAccessibilityTest, EveryFocusableControlOfThePanesHasAName) {
  SettingsHarness harness;
  harness.store().preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.colorSource = ColorSource::custom;
    prefs.pageDarkMode = PageDarkMode::always;
    prefs.darkDisabledHosts = {"example.test"};
  });
  for (SettingsPane pane : {SettingsPane::general, SettingsPane::appearance, SettingsPane::colors,
                            SettingsPane::sidebar, SettingsPane::window}) {
    harness.view().select(pane);
    pump();
    // Within the pane: Tab in the window's list would show another pane.
    PaneBody& body = testing::shownPane(harness.view());
    size_t inPane = 0;
    for (bool moved = body.child_focus(Gtk::DirectionType::TAB_FORWARD); moved && inPane < 300;
         moved = body.child_focus(Gtk::DirectionType::TAB_FORWARD)) {
      Gtk::Widget* focus = harness.view().get_focus();
      ASSERT_TRUE(focus);
      ++inPane;
      EXPECT_TRUE(SettingsHarness::hasAccessibleName(*focus))
          << rawValue(pane) << ": " << G_OBJECT_TYPE_NAME(focus->gobj()) << " "
          << focus->get_name();
    }
    EXPECT_GT(inPane, 3u) << rawValue(pane);
  }
}

}  // namespace
}  // namespace zemblo
