#include <gtest/gtest.h>

#include <adwaita.h>

#include <algorithm>
#include <map>
#include <string>

#include "model/preferences_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/pane_harness.h"
#include "settings/panes/spaces_pane.h"
#include "settings/space_editor/space_editor.h"
#include "support/find_pane_controls.h"
#include "window/accessibility_tree.h"

namespace zemblo {
namespace {

using testing::pump;

TEST(SettingsAccessibilityTest, EveryPaneNamesItsControlsAndReportsTheDisabledOnes) {
  testing::SettingsHarness harness;
  harness.store().preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.showFavorites = false;
    prefs.showClock = false;
    prefs.sidebarTint = SidebarTint::none;
    prefs.colorSource = ColorSource::custom;
  });
  // Controls that cannot be used in this state, by themselves or through their row.
  const std::multimap<SettingsPane, std::pair<std::string, std::string>> disabled = {
      {SettingsPane::sidebar, {"button", "3"}},
      {SettingsPane::sidebar, {"button", "5"}},
      {SettingsPane::startPage, {"switch", "24 saat biçimi"}},
      {SettingsPane::colors, {"slider", "Renk yoğunluğu"}},
      {SettingsPane::spaces, {"button", "Sola taşı"}},
      {SettingsPane::privacy, {"button", "Geçmişi temizle…"}}};
  for (const SettingsPane pane : allCases<SettingsPane>()) {
    SCOPED_TRACE(rawValue(pane));
    harness.view().select(pane);
    pump();
    auto controls = testing::readControls(harness.view().get_title());
    for (auto [it, end] = disabled.equal_range(pane); it != end; ++it) {
      EXPECT_GE(controls[it->second].count, 1) << it->second.second;
      EXPECT_FALSE(controls[it->second].enabled) << it->second.second;
    }
    if (pane == SettingsPane::spaces) {
      EXPECT_EQ((controls[{"button", "Kitap"}].count), 1);
    }
  }
  // The icons by what they show in either language, the custom colours by their end of the
  // gradient; the question before a space goes announces each button once.
  harness.setLanguage(AppLanguage::english);
  auto& spaces = testing::showPane<SpacesPane>(harness, SettingsPane::spaces);
  auto controls = testing::readControls(harness.view().get_title());
  for (const char* name : {"Book", "Code", "Start color", "End color"}) {
    EXPECT_EQ((controls[{"button", name}].count), 1) << name;
  }
  testing::click(testing::named(spaces, localized("Sil…")));
  AdwMessageDialog* question = testing::shownQuestion();
  controls = testing::readControls(adw_message_dialog_get_heading(question));
  EXPECT_EQ((controls[{"button", "Delete Space"}].count), 2);  // one set for each layout
  adw_message_dialog_response(question, ConfirmationDialog::kCancel);
  pump();
  // The theme swatches by their colour, as their tooltips say.
  harness.view().select(SettingsPane::colors);
  pump();
  controls = testing::readControls(harness.view().get_title());
  const auto named = [&](const std::string& name) {
    return std::ranges::count_if(controls,
                                 [&](const auto& entry) { return entry.first.second == name; });
  };
  for (const char* name : {"Green", "Navy", "Cream"}) EXPECT_EQ(named(name), 1) << name;
  EXPECT_EQ(named("#34C759"), 0);
}

}  // namespace
}  // namespace zemblo
