#include <gtest/gtest.h>

#include <string>

#include "model/preferences_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/general_pane.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;

// The switch a screen reader announces by `name`.
GtkWidget* namedSwitch(GtkWidget* root, const std::string& name) {
  if (GTK_IS_SWITCH(root)) {
    char* mismatch = gtk_test_accessible_check_property(
        GTK_ACCESSIBLE(root), GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str());
    g_free(mismatch);
    if (!mismatch) return root;
  }
  for (GtkWidget* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GtkWidget* found = namedSwitch(child, name)) return found;
  }
  return nullptr;
}

// The switch is found by its name in General, starts on, and turning it off reaches the settings
// file.
TEST(SpellCheckingSettingTest, TheSwitchStartsOnAndItsChangeIsStored) {
  SettingsHarness harness;
  auto& pane = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  GtkWidget* spelling = namedSwitch(GTK_WIDGET(pane.gobj()), "Yazım denetimi");
  ASSERT_TRUE(spelling);
  EXPECT_TRUE(gtk_switch_get_active(GTK_SWITCH(spelling)));

  gtk_switch_set_active(GTK_SWITCH(spelling), FALSE);
  pump();
  EXPECT_FALSE(testing::savedPrefs(harness).spellChecking);
}

}  // namespace
}  // namespace zemblo
