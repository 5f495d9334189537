#include "model/color_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/preferences_model.h"
#include "platform/user_defaults.h"
#include "support/fake_scheduler.h"
#include "support/hsb_of.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

// The preferences with every write that changed them, as the names of the fields it changed.
class ColorSettingsTest : public ::testing::Test {
 protected:
  PreferencesModel& preferences() { return preferences_; }
  const AppPreferences& prefs() { return preferences_.prefs(); }
  // The field of each write since the last call; an action changes one field per write, so that
  // every step is saved and shown on its own.
  void forgetWrites() { writes_.clear(); }
  std::vector<std::string> takeWrites() {
    std::vector<std::string> fields;
    for (const auto& write : std::exchange(writes_, {})) {
      EXPECT_EQ(write.size(), 1u);
      if (!write.empty()) fields.push_back(write.front());
    }
    return fields;
  }

 private:
  void recordWrite(const AppPreferences& old) {
    const json::Json before = *json::parse(*old.encoded());
    const json::Json now = *json::parse(*preferences_.prefs().encoded());
    std::vector<std::string>& fields = writes_.emplace_back();
    for (const auto& [key, value] : now.items()) {
      if (!before.contains(key) || before[key] != value) fields.push_back(key);
    }
  }

  testing::TempHome home_;
  UserDefaults defaults_{home_.root() / "user-defaults.json"};
  testing::FakeScheduler scheduler_;
  std::vector<std::vector<std::string>> writes_;
  PreferencesModel preferences_{defaults_, scheduler_,
                                [this](const AppPreferences& old) { recordWrite(old); }};
};

TEST_F(ColorSettingsTest, ThemeActionsWriteTheirFieldsOneAtATimeInOrder) {
  preferences().setPref(&AppPreferences::sidebarTint, SidebarTint::none);
  forgetWrites();
  const std::string green = "#34C759";
  color_settings::pickSwatch(preferences(), green);
  // No tint showed the theme: one is turned on with it.
  EXPECT_EQ(takeWrites(), (std::vector<std::string>{"customColorA", "customColorB", "colorSource",
                                                    "sidebarTint"}));
  EXPECT_EQ(prefs().customColorA, green);
  EXPECT_EQ(prefs().customColorB, Color::fromHex(green).hsbAdjusted().hexString());
  EXPECT_EQ(prefs().colorSource, ColorSource::custom);
  EXPECT_EQ(prefs().sidebarTint, SidebarTint::gradient);

  // A swatch's own text is kept as colour A, whatever its case.
  preferences().setPref(&AppPreferences::sidebarTint, SidebarTint::solid);
  forgetWrites();
  color_settings::pickSwatch(preferences(), "#ff9500");
  EXPECT_EQ(takeWrites(),
            (std::vector<std::string>{"customColorA", "customColorB", "customColorA"}));
  EXPECT_EQ(prefs().customColorA, "#ff9500");
  EXPECT_EQ(prefs().sidebarTint, SidebarTint::solid);

  const SpacePreset& forest = SpacePreset::all()[3];
  color_settings::pickPreset(preferences(), forest);
  EXPECT_EQ(takeWrites(), (std::vector<std::string>{"customColorA", "customColorB"}));
  EXPECT_EQ(prefs().customColorA, forest.colorA);
  EXPECT_EQ(prefs().customColorB, forest.colorB);

  // Harmonising twice changes colour B once.
  color_settings::harmonize(preferences());
  color_settings::harmonize(preferences());
  EXPECT_EQ(takeWrites(), std::vector<std::string>{"customColorB"});
  EXPECT_EQ(prefs().customColorB, Color::fromHex(forest.colorA).hsbAdjusted().hexString());

  const Color lucky = Color::fromHsb({0.6, 0.7, 0.8});
  color_settings::shuffle(preferences(), lucky);
  EXPECT_EQ(takeWrites(), (std::vector<std::string>{"customColorA", "customColorB"}));
  EXPECT_EQ(prefs().customColorA, lucky.hexString());
  EXPECT_EQ(prefs().customColorB, lucky.hsbAdjusted().hexString());

  color_settings::shuffle(preferences());
  const AppPreferences shuffled = prefs();
  EXPECT_NE(shuffled.customColorA, lucky.hexString());
  EXPECT_EQ(Color::fromHex(shuffled.customColorA).hexString(), shuffled.customColorA);
  EXPECT_EQ(shuffled.colorSource, ColorSource::custom);
  const Hsb hsb = testing::hsbOf(Color::fromHex(shuffled.customColorA));
  EXPECT_GE(hsb.saturation, 0.49);
  EXPECT_GE(hsb.brightness, 0.69);
}

TEST_F(ColorSettingsTest, ResetPutsTheTenColourSettingsBackAndNothingElse) {
  preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.colorSource = ColorSource::custom;
    prefs.customColorA = "#112233";
    prefs.customColorB = "#445566";
    prefs.gradientDirection = GradientDirection::diagonalUp;
    prefs.colorStrength = 0.8;
    prefs.grain = 0.5;
    prefs.sidebarTint = SidebarTint::solid;
    prefs.sidebarMaterial = SidebarMaterial::opaque;
    prefs.sidebarTextStyle = SidebarTextStyle::darkText;
    prefs.selectedTabStyle = SelectedTabStyle::tinted;
    prefs.theme = ThemeMode::dark;
  });
  AppPreferences expected = prefs();
  const AppPreferences defaults;
  expected.colorSource = defaults.colorSource;
  expected.customColorA = defaults.customColorA;
  expected.customColorB = defaults.customColorB;
  expected.gradientDirection = defaults.gradientDirection;
  expected.colorStrength = defaults.colorStrength;
  expected.grain = defaults.grain;
  expected.sidebarTint = defaults.sidebarTint;
  expected.sidebarMaterial = defaults.sidebarMaterial;
  expected.sidebarTextStyle = defaults.sidebarTextStyle;
  expected.selectedTabStyle = defaults.selectedTabStyle;
  color_settings::resetColors(preferences());
  EXPECT_EQ(prefs(), expected);
  EXPECT_EQ(prefs().theme, ThemeMode::dark);
}

}  // namespace
}  // namespace zemblo
