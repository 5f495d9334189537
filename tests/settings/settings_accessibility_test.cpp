#include <gtest/gtest.h>

#include <adwaita.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/space.h"
#include "settings/confirmation_dialog.h"
#include "settings/pane_harness.h"
#include "settings/space_editor.h"
#include "settings/spaces_pane.h"
#include "window/accessibility_tree.h"

namespace zemblo {
namespace {

using testing::AccessibleNode;
using testing::pump;
using testing::SettingsHarness;

// What a screen reader meets in the settings window: the controls, by role and name, and
// whether each is reported usable.
class SettingsAccessibilityTest : public ::testing::Test {
 protected:
  using Controls = std::map<std::pair<std::string, std::string>, bool>;

  // Reads the windows of that title, expects every control named as a person would name it and
  // every control drawn disabled reported so. A name stands for usable when every control of
  // that name is.
  Controls readControls(const std::string& title, Gtk::Widget& window) {
    std::set<std::string> widgetNames;
    testing::collectWidgetNames(window.gobj(), widgetNames);
    for (const auto& symbol : spaceSymbols()) widgetNames.insert(std::string(symbol));
    const auto nodes = testing::AccessibilityReader::read(title);
    EXPECT_FALSE(nodes.empty()) << "no accessibility bus";
    for (const AccessibleNode& node : testing::badlyNamedControls(nodes, widgetNames)) {
      ADD_FAILURE() << node.role << " '" << node.name << "' has no proper name";
    }
    EXPECT_EQ(testing::disabledReportedUsable(window.gobj()), std::vector<std::string>{});
    Controls controls;
    for (const AccessibleNode& node : nodes) {
      if (!testing::isControlRole(node.role)) continue;
      const auto [control, added] = controls.try_emplace({node.role, node.name}, node.enabled);
      if (!added) control->second = control->second && node.enabled;
    }
    return controls;
  }

  SettingsHarness harness;
};

TEST_F(SettingsAccessibilityTest, EveryPaneNamesItsControlsAndReportsTheDisabledOnes) {
  harness.store().updatePrefs([](AppPreferences& prefs) {
    prefs.showFavorites = false;
    prefs.showClock = false;
    prefs.sidebarTint = SidebarTint::none;
    prefs.colorSource = ColorSource::custom;
  });
  struct Disabled {
    SettingsPane pane;
    const char* role;
    const char* turkish;
    const char* english;
  };
  const Disabled disabled[] = {
      {SettingsPane::sidebar, "button", "3", "3"},
      {SettingsPane::sidebar, "button", "5", "5"},
      {SettingsPane::startPage, "switch", "24 saat biçimi", "24-hour time"},
      {SettingsPane::colors, "slider", "Renk yoğunluğu", "Color intensity"},
      {SettingsPane::spaces, "button", "Sola taşı", "Move left"},
      {SettingsPane::privacy, "button", "Temizle…", "Clear…"},
  };
  // Every pane in Turkish; in English the pane whose names come from a table of their own.
  for (const AppLanguage language : {AppLanguage::turkish, AppLanguage::english}) {
    harness.setLanguage(language);
    const bool english = language == AppLanguage::english;
    const auto all = allCases<SettingsPane>();
    for (const SettingsPane pane : english ? std::vector<SettingsPane>{SettingsPane::spaces}
                                           : std::vector<SettingsPane>(all.begin(), all.end())) {
      SCOPED_TRACE(rawValue(pane));
      harness.view().select(pane);
      pump();
      Controls controls = readControls(harness.view().get_title(), harness.view());
      for (const Disabled& control : disabled) {
        if (control.pane != pane) continue;
        const auto found =
            controls.find({control.role, english ? control.english : control.turkish});
        ASSERT_NE(found, controls.end()) << control.turkish;
        EXPECT_FALSE(found->second) << control.turkish;
      }
      if (pane != SettingsPane::spaces) continue;
      // The icons by what they show, the custom colours by the end of the gradient they set.
      const std::array<std::array<const char*, 4>, 2> named{
          {{"Kitap", "Kod", "Başlangıç rengi", "Bitiş rengi"},
           {"Book", "Code", "Start color", "End color"}}};
      for (const char* name : named[english]) {
        EXPECT_TRUE(controls.contains({"button", name})) << name;
      }
    }
  }

  // The question before a space goes: each button announced once.
  auto& spaces = testing::showPane<SpacesPane>(harness, SettingsPane::spaces);
  testing::click(spaces.editor().deleteButton());
  ASSERT_NE(spaces.editor().confirmation(), nullptr);
  GtkWidget* dialog = GTK_WIDGET(spaces.editor().confirmation()->dialog());
  pump();
  const Controls controls =
      readControls(adw_message_dialog_get_heading(ADW_MESSAGE_DIALOG(dialog)), *Glib::wrap(dialog));
  EXPECT_TRUE(controls.contains({"button", "Delete Space"}));
  EXPECT_TRUE(controls.contains({"button", "Cancel"}));
  adw_message_dialog_response(ADW_MESSAGE_DIALOG(dialog), ConfirmationDialog::kCancel);
}

}  // namespace
}  // namespace zemblo
