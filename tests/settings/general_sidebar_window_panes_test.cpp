#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/browser_commands.h"
#include "model/preferences_model.h"
#include "model/tabs_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/general_pane.h"
#include "settings/panes/sidebar_pane.h"
#include "settings/panes/window_pane.h"
#include "support/find_window.h"
#include "window/card_drawing.h"
#include "window/command_bar.h"

namespace zemblo {
namespace {

using testing::click;
using testing::drag;
using testing::flip;
using testing::PrefsWrites;
using testing::pump;
using testing::SettingsHarness;

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

std::vector<std::string> titlesOf(GeneralPane& pane) {
  std::vector<std::string> titles;
  for (size_t i = 0; i < pane.shortcuts().size(); ++i) {
    titles.push_back(pane.shortcutRow(i).title().get_text());
  }
  return titles;
}

TEST(GeneralPaneTest, LanguageOffersARestartEngineAndStartupSettingsAreStoredAndKeysMatchTheMenus) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  ASSERT_EQ(store.preferences().launchLanguage(), AppLanguage::system);
  auto* pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  // The harness chose Turkish after the start: a restart would change the desktop's texts.
  EXPECT_TRUE(pane->offersRestart());
  EXPECT_EQ(pane->restartButton().get_label(), "Yeniden Başlat");
  EXPECT_EQ(titlesOf(*pane),
            (std::vector<std::string>{"Yeni sekme", "Adres çubuğu", "Sekmeyi kapat",
                                      "Kapatılan sekmeyi geri aç", "Kenar çubuğunu göster/gizle",
                                      "Sekmeler arasında geçiş", "Alanlar arasında geçiş",
                                      "Sayfada bul", "Şifreler", "Sayfa karanlık modu"}));
  SettingsHarness::shot(harness.view().shownPane(), "pane-general-tr");

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
  ASSERT_EQ(pane->shortcuts().size(), actions.size());
  for (size_t row = 0; row < actions.size(); ++row) {
    std::set<std::vector<std::string>> fromMenu;
    for (const std::string& action : actions[row]) fromMenu.insert(capsOf(menuKeys[action]));
    EXPECT_EQ(combinationsOf(pane->shortcutRow(row).keys()), fromMenu) << row;
  }
  // Spaces also list the keys a desktop that takes Ctrl+Alt+arrows leaves to the browser.
  std::set<std::vector<std::string>> spaceKeys;
  for (const char* action : {"win.next-space", "win.previous-space"}) {
    spaceKeys.insert(capsOf(secondMenuKeys[action]));
  }
  EXPECT_EQ(combinationsOf(pane->shortcutRow(6).alternativeKeys()), spaceKeys);

  // The engine: shown from the store, stored under its case name when picked.
  EXPECT_EQ(pane->enginePicker().get_selected(), 0u);
  pane->enginePicker().set_selected(2);
  pump();
  EXPECT_EQ(store.preferences().searchEngine.peek(), SearchEngine::bing);
  EXPECT_EQ(store.defaults().stringValue("searchEngine"), "bing");
  PrefsWrites writes(store);
  flip(pane->restoreSessionRow().control());
  drag(pane->defaultZoomRow(), 0.5);
  EXPECT_EQ(pane->defaultZoomRow().badge().get_text(), "%50");
  drag(pane->defaultZoomRow(), 2.04);
  EXPECT_EQ(pane->defaultZoomRow().badge().get_text(), "%200");
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"restoreSession", "defaultZoom", "defaultZoom"}));
  const AppPreferences saved = testing::savedPrefs(store);
  EXPECT_FALSE(saved.restoreSession);
  EXPECT_EQ(saved.defaultZoom, 2.0);

  // English from the cards: the interface switches at once, the desktop's key follows.
  click(pane->languageCards().card(2));
  EXPECT_TRUE(L10n::isEnglish());
  EXPECT_EQ(store.defaults().stringArray("AppleLanguages"), std::vector<std::string>{"en"});
  pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  EXPECT_EQ(pane->restartButton().get_label(), "Restart");
  EXPECT_EQ(pane->languageCards().card(0).title().get_text(), "System");
  EXPECT_EQ(pane->defaultZoomRow().badge().get_text(), "200%");
  EXPECT_EQ(
      titlesOf(*pane),
      (std::vector<std::string>{"New tab", "Address bar", "Close tab", "Reopen closed tab",
                                "Show/hide sidebar", "Switch between tabs", "Switch between spaces",
                                "Find in page", "Passwords", "Page dark mode"}));
  SettingsHarness::shot(harness.view().shownPane(), "pane-general-en");
  // The language it started in takes the offer away; the key is removed for the system's.
  click(pane->languageCards().card(0));
  pane = &testing::showPane<GeneralPane>(harness, SettingsPane::general);
  EXPECT_FALSE(pane->offersRestart());
  EXPECT_FALSE(store.defaults().contains("AppleLanguages"));
}

TEST(SidebarPaneTest, ControlsMoveAndResizeTheBrowsersSidebarAndSaveEachChange) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<SidebarPane>(harness, SettingsPane::sidebar);
  EXPECT_TRUE(pane.sideCards().card(0).selected());
  EXPECT_TRUE(pane.densityCards().card(1).selected());
  EXPECT_EQ(pane.widthRow().badge().get_text(), "264 pt");
  EXPECT_TRUE(pane.columnsRow().control().segment(1).get_active());

  PrefsWrites writes(store);
  click(pane.sideCards().card(1));
  drag(pane.widthRow(), 231.7);
  click(pane.densityCards().card(0));
  click(pane.columnsRow().control().segment(2));
  flip(pane.favoritesRow().control());
  EXPECT_EQ(writes.fields(), (std::vector<std::string>{"sidebarSide", "sidebarWidth", "tabDensity",
                                                       "favoriteColumns", "showFavorites"}));
  EXPECT_EQ(pane.widthRow().badge().get_text(), "232 pt");
  // The columns wait, dimmed, with their count kept.
  EXPECT_FALSE(pane.columnsRow().get_sensitive());
  EXPECT_NEAR(pane.columnsRow().get_opacity(), 0.45, 0.01);
  EXPECT_EQ(store.preferences().prefs().favoriteColumns, 5);
  EXPECT_EQ(testing::savedPrefs(store), store.preferences().prefs());

  testing::pump();
  Gtk::Widget& column = testing::sidebarColumn(harness.window());
  const auto frame = testing::boundsIn(column, harness.window());
  EXPECT_EQ(frame.width, 232);
  EXPECT_GT(frame.x, harness.window().get_width() / 2);
  SettingsHarness::shot(harness.view().shownPane(), "pane-sidebar-tr");

  harness.setLanguage(AppLanguage::english);
  auto& english = testing::showPane<SidebarPane>(harness, SettingsPane::sidebar);
  std::vector<std::string> densities;
  for (size_t i = 0; i < 3; ++i)
    densities.push_back(english.densityCards().card(i).title().get_text());
  EXPECT_EQ(densities, (std::vector<std::string>{"Compact", "Normal", "Spacious"}));
}

TEST(WindowPaneTest, PresetsWriteRadiusMarginAndShadowInOrderAndTheWindowFollowsEveryControl) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<WindowPane>(harness, SettingsPane::window);
  EXPECT_TRUE(pane.preset(1).marked());
  EXPECT_FALSE(pane.preset(0).marked());

  PrefsWrites writes(store);
  click(pane.preset(0));
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"cornerRadius", "contentInset", "contentShadow"}));
  EXPECT_TRUE(pane.preset(0).marked());
  EXPECT_EQ(pane.cornerRadiusRow().badge().get_text(), "0 pt");
  EXPECT_EQ(pane.contentInsetRow().badge().get_text(), "0 pt");
  EXPECT_FALSE(pane.shadowRow().control().get_active());
  EXPECT_EQ(testing::drawnCornerRadius(harness.content()), 0);
  EXPECT_FALSE(testing::castsShadow(harness.content()));
  // The marked preset again writes nothing.
  writes.clear();
  click(pane.preset(0));
  EXPECT_TRUE(writes.writes().empty());

  click(pane.preset(2));
  drag(pane.cornerRadiusRow(), 13.4);
  EXPECT_FALSE(pane.preset(2).marked());
  EXPECT_EQ(harness.store().preferences().prefs().cornerRadius, 13);
  EXPECT_NEAR(testing::drawnCornerRadius(harness.content()), 13, 3.5);
  click(pane.progressRow().control().segment(2));
  EXPECT_EQ(harness.store().preferences().prefs().progressStyle, ProgressStyle::hidden);
  flip(pane.dimRow().control());

  store.tabs().commandBar.set(CommandBarMode::newTab);
  pump();
  CommandBar* bar = testing::activeView<CommandBar>(harness.window(), "CommandBar");
  ASSERT_TRUE(bar);
  const double top =
      testing::boundsIn(testing::viewNamed(*bar, "CommandBarCard"), harness.window()).y;
  click(pane.commandBarRow().control().segment(1));
  testing::pump();
  EXPECT_GT(testing::boundsIn(testing::viewNamed(*bar, "CommandBarCard"), harness.window()).y, top);
  store.tabs().commandBar.set(std::nullopt);

  const AppPreferences saved = testing::savedPrefs(store);
  EXPECT_EQ(saved.cornerRadius, 13);
  EXPECT_EQ(saved.contentInset, 14);
  EXPECT_EQ(saved.progressStyle, ProgressStyle::hidden);
  EXPECT_EQ(saved.commandBarPosition, CommandBarPosition::center);
  EXPECT_FALSE(saved.dimBehindCommandBar);
  SettingsHarness::shot(harness.view().shownPane(), "pane-window-tr");
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
    PaneBody& body = harness.view().shownPane();
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
