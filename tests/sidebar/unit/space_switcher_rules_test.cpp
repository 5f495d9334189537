#include <gtest/gtest.h>

#include "model/localization.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/space_switcher.h"

namespace zemblo {
namespace {

TEST(SpaceSwitcherRules, ButtonsFollowTheSpaceOrderAndMarkOnlyTheCurrentOne) {
  const std::vector<Uuid> ids{Uuid::random(), Uuid::random(), Uuid::random()};
  const auto entries = spaceSwitcherEntries(ids, ids[1]);
  ASSERT_EQ(entries.size(), 3u);
  for (size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(entries[i].id, ids[i]);
    EXPECT_EQ(entries[i].selected, i == 1);
  }
  // An id that names no space selects no button, not the first one.
  for (const auto& entry : spaceSwitcherEntries(ids, Uuid::random())) EXPECT_FALSE(entry.selected);
  EXPECT_TRUE(spaceSwitcherEntries({}, ids[0]).empty());
}

TEST(SpaceSwitcherRules, SettingsHelpFollowsTheLanguage) {
  L10n::setEnglish(true);
  EXPECT_EQ(settingsHelpText(), "Settings (Ctrl+,)");
  L10n::setEnglish(false);
  EXPECT_EQ(settingsHelpText(), "Ayarlar (Ctrl+,)");
}

}  // namespace
}  // namespace zemblo
