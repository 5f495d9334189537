#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// For every row and width: whole buttons inside the width, an arrow exactly where buttons lie
// past the run, and paging forward from the start shows every button.
TEST(SpaceSwitcherRules, RunsOfWholeButtonsBetweenArrowsCoverTheRow) {
  for (size_t count = 1; count <= 12; ++count) {
    for (int width = SpaceSwitcherButton::kSide + 2 * SpaceSwitcher::kEdgeMinimumWidth;
         width <= 220; width += 7) {
      std::vector<bool> seen(count, false);
      SpaceSwitcherWindow at = spaceSwitcherWindow(count, width, 0);
      for (size_t page = 0; page <= count; ++page) {
        const std::string where = std::to_string(count) + " in " + std::to_string(width) +
                                  " from " + std::to_string(at.first);
        ASSERT_GE(at.shown, 1u) << where;
        ASSERT_LE(at.first + at.shown, count) << where;
        EXPECT_EQ(at.backWidth > 0, at.first > 0) << where;
        EXPECT_EQ(at.forwardWidth > 0, at.first + at.shown < count) << where;
        const int run = int(at.shown) * SpaceSwitcher::kPitch - SpaceSwitcher::kSpacing;
        EXPECT_GE(at.left, 0) << where;
        EXPECT_LE(at.left + at.backWidth + run + at.forwardWidth, width) << where;
        for (size_t i = at.first; i < at.first + at.shown; ++i) seen[i] = true;
        if (at.forwardWidth == 0) break;
        at = spaceSwitcherWindow(count, width, at.first + at.shown);
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), true), long(count)) << count << " " << width;
    }
  }
  // While the row fits it is centred without arrows.
  EXPECT_EQ(spaceSwitcherWindow(3, 100, 2), (SpaceSwitcherWindow{0, 3, 0, 0, 7}));
}

TEST(SpaceSwitcherRules, SettingsHelpFollowsTheLanguage) {
  L10n::setEnglish(true);
  EXPECT_EQ(settingsHelpText(), "Settings (Ctrl+,)");
  L10n::setEnglish(false);
  EXPECT_EQ(settingsHelpText(), "Ayarlar (Ctrl+,)");
}

}  // namespace
}  // namespace zemblo
