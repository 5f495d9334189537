#include <gtest/gtest.h>

#include <algorithm>

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "sidebar/sidebar_harness.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"
#include "support/x_input.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;

TEST(SpacesTest, SwitchingSpacesChangesTheHeaderTheTabListAndTheColours) {
  SidebarHarness harness;
  auto& store = harness.store();
  ASSERT_GE(store.tabs().spaces.peek().size(), 2u);
  auto first = store.tabs().spaces.peek()[0];
  auto second = store.tabs().spaces.peek()[1];
  store.tabs().select(*first);
  harness.addTab("https://example.org/", "First space tab");
  pump();
  ASSERT_EQ(harness.titlesInList(), std::vector<std::string>{"First space tab"});
  auto& header = harness.spaceHeader();
  EXPECT_EQ(testing::spaceHeaderName(header), first->name.peek());
  EXPECT_EQ(testing::spaceHeaderSymbol(header), first->symbol.peek());
  const Palette before = themeColors(store.preferences(), store.tabs());
  auto& switcher = testing::widgetNamed<SpaceSwitcher>(harness.sidebar(), "SpaceSwitcher");
  auto buttons = testing::spaceButtons(switcher);
  ASSERT_EQ(buttons.size(), store.tabs().spaces.peek().size());
  EXPECT_TRUE(testing::announcedSelected(*buttons[0]));
  EXPECT_FALSE(testing::announcedSelected(*buttons[1]));
  SidebarHarness::screenshot("sidebar-first-space");

  // A real click on the second space's circle.
  harness.click(*buttons[1]);
  ASSERT_TRUE(testing::waitUntil([&] { return store.tabs().currentSpace() == second; }));
  pump();
  EXPECT_EQ(testing::spaceHeaderName(header), second->name.peek());
  EXPECT_EQ(testing::spaceHeaderSymbol(header), second->symbol.peek());
  const auto titles = harness.titlesInList();
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "First space tab"), 0);
  EXPECT_FALSE(testing::announcedSelected(*testing::spaceButtons(switcher)[0]));
  EXPECT_TRUE(testing::announcedSelected(*testing::spaceButtons(switcher)[1]));
  EXPECT_NE(themeColors(store.preferences(), store.tabs()), before);
  SidebarHarness::screenshot("sidebar-second-space");
}

TEST(SpacesTest, TheClearButtonShowsOnlyUnderThePointerWithTabsAndClosesThemAll) {
  SidebarHarness harness;
  auto& header = harness.spaceHeader();
  header.setHovering(true);
  pump();
  EXPECT_FALSE(testing::announced(header, "Temizle").get_visible());  // no tabs
  harness.addTab("https://example.org/", "One");
  harness.addTab("https://example.com/", "Two");
  EXPECT_TRUE(testing::announced(header, "Temizle").get_visible());
  // The row, its top padding included, is 22 points tall between the sections' 12-point gaps, also
  // with the button in it, so the list does not move.
  const auto above = harness.bounds(harness.favoritesGrid());
  const double listTop = harness.bounds(harness.list()).y;
  EXPECT_EQ(listTop - (above.y + above.height), 12 + 22 + 12);
  EXPECT_DOUBLE_EQ(testing::announced(header, "Temizle").get_opacity(), 0.6);
  header.setHovering(false);
  pump();
  EXPECT_FALSE(testing::announced(header, "Temizle").get_visible());
  EXPECT_EQ(harness.bounds(harness.list()).y, listTop);
  header.setHovering(true);
  pump();
  // The click of an activated button arrives a moment later: wait for it.
  ASSERT_TRUE(testing::press(testing::announced(header, "Temizle")));
  pump();
  EXPECT_TRUE(harness.space().tabs.peek().empty());
  EXPECT_FALSE(testing::announced(header, "Temizle").get_visible());
}

// Every button on screen is whole, between the arrows that say more spaces lie past an end.
void expectWholeButtonsBetweenTheArrows(SidebarHarness& harness, const std::string& when) {
  auto& switcher = testing::widgetNamed<SpaceSwitcher>(harness.sidebar(), "SpaceSwitcher");
  const auto row = harness.bounds(switcher);
  double left = row.x, right = row.x + row.width;
  if (testing::widgetNamed(switcher, "SpaceSwitcherBack").get_mapped()) {
    const auto back = harness.bounds(testing::widgetNamed(switcher, "SpaceSwitcherBack"));
    left = back.x + back.width;
  }
  if (testing::widgetNamed(switcher, "SpaceSwitcherForward").get_mapped())
    right = harness.bounds(testing::widgetNamed(switcher, "SpaceSwitcherForward")).x;
  for (SpaceSwitcherButton* button : testing::spaceButtons(switcher)) {
    if (!button->get_mapped()) continue;
    const auto frame = harness.bounds(*button);
    EXPECT_EQ(frame.width, SpaceSwitcherButton::kSide) << when;
    EXPECT_GE(frame.x, left) << when;
    EXPECT_LE(frame.x + frame.width, right) << when;
  }
}

// Clicks the arrow at the end of the switcher until the space's button shows, then the button.
void reachWithThePointer(SidebarHarness& harness, const std::shared_ptr<Space>& space) {
  auto& switcher = testing::widgetNamed<SpaceSwitcher>(harness.sidebar(), "SpaceSwitcher");
  SpaceSwitcherButton* button = nullptr;
  for (SpaceSwitcherButton* each : testing::spaceButtons(switcher)) {
    if (each->space() == space) button = each;
  }
  ASSERT_TRUE(button);
  const auto firstShown = [&] {
    const auto all = testing::spaceButtons(switcher);
    return std::find_if(all.begin(), all.end(), [](auto* each) { return each->get_mapped(); }) -
           all.begin();
  };
  for (size_t clicks = 0; !button->get_mapped() && clicks < testing::spaceButtons(switcher).size();
       ++clicks) {
    ASSERT_TRUE(testing::widgetNamed(switcher, "SpaceSwitcherForward").get_sensitive())
        << space->name.peek();
    const auto before = firstShown();
    // Each click is done before the next begins: a click on the space already current changes
    // nothing to wait for, and two xdotool runs at once would interleave their moves and clicks.
    harness.inputAndWait(harness.pointAt(testing::widgetNamed(switcher, "SpaceSwitcherForward")) +
                         " click 1");
    ASSERT_TRUE(testing::waitUntil([&] { return firstShown() > before; }));
    pump();
    expectWholeButtonsBetweenTheArrows(harness, "after a click on the arrow");
  }
  ASSERT_TRUE(button->get_mapped()) << space->name.peek();
  harness.inputAndWait(harness.pointAt(*button) + " click 1");
  EXPECT_TRUE(testing::waitUntil([&] { return harness.store().tabs().currentSpace() == space; }));
}

TEST(SpacesTest, ManySpacesStayOnOneLineWithoutWideningTheSidebar) {
  SidebarHarness harness;
  const auto sidebarWidth = harness.bounds(harness.sidebar()).width;
  while (harness.store().tabs().spaces.peek().size() < 12) harness.store().tabs().addSpace();
  pump();
  auto& bar = harness.sidebar().bottomBar();
  auto& switcher = testing::widgetNamed<SpaceSwitcher>(bar, "SpaceSwitcher");
  auto buttons = testing::spaceButtons(switcher);
  ASSERT_EQ(buttons.size(), 12u);
  const auto a = harness.bounds(*buttons[0]);
  const auto b = harness.bounds(*buttons[1]);
  EXPECT_EQ(b.x - (a.x + a.width), SpaceSwitcher::kSpacing);
  EXPECT_EQ(b.y, a.y);  // never wraps to a second line
  EXPECT_EQ(harness.bounds(harness.sidebar()).width, sidebarWidth);
  // The gear stays last, at the trailing end of the bar.
  const auto gear = harness.bounds(bar.settingsButton());
  const auto barFrame = harness.bounds(bar);
  EXPECT_EQ(gear.x + gear.width, barFrame.x + barFrame.width);
  EXPECT_TRUE(bar.settingsButton().get_sensitive());
  EXPECT_EQ(harness.bounds(testing::widgetNamed<DownloadsButton>(bar, "DownloadsButton")).width,
            SidebarIconButton::kWidth);

  // The row says it goes on, and the pointer alone reaches its last space and back to the first.
  EXPECT_FALSE(buttons.back()->get_mapped());
  EXPECT_TRUE(testing::widgetNamed(switcher, "SpaceSwitcherForward").get_sensitive());
  EXPECT_FALSE(testing::widgetNamed(switcher, "SpaceSwitcherBack").get_sensitive());
  expectWholeButtonsBetweenTheArrows(harness, "twelve spaces");
  const auto forward = harness.bounds(testing::widgetNamed(switcher, "SpaceSwitcherForward"));
  reachWithThePointer(harness, harness.store().tabs().spaces.peek().back());
  EXPECT_TRUE(testing::widgetNamed(switcher, "SpaceSwitcherBack").get_sensitive());
  // At the end the arrow stays where it was, disabled: one more click there switches nothing.
  ASSERT_TRUE(testing::widgetNamed(switcher, "SpaceSwitcherForward").get_mapped());
  EXPECT_FALSE(testing::widgetNamed(switcher, "SpaceSwitcherForward").get_sensitive());
  EXPECT_EQ(harness.bounds(testing::widgetNamed(switcher, "SpaceSwitcherForward")).x, forward.x);
  const auto last = harness.store().tabs().currentSpace();
  harness.inputAndWait(harness.pointAt(testing::widgetNamed(switcher, "SpaceSwitcherForward")) +
                       " click 1");
  pump();
  EXPECT_EQ(harness.store().tabs().currentSpace(), last);
  // The wheel turns the row back: every notch is sent before the pointer moves on, and reaches
  // the window before that move.
  Glib::spawn_command_line_sync(testing::xdotoolOn(
      GTK_WINDOW(harness.window().gobj()), harness.pointAt(switcher) + " click --repeat 12 4"));
  ASSERT_TRUE(harness.movePointer(int(gear.x + gear.width / 2), int(gear.y + gear.height / 2)));
  ASSERT_TRUE(testing::waitUntil([&] { return buttons.front()->get_mapped(); }));
  expectWholeButtonsBetweenTheArrows(harness, "after the wheel");
}

TEST(SpacesTest, AtTheNarrowestSidebarTheDefaultSpacesAreReachedWithThePointer) {
  SidebarHarness harness;
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.sidebarWidth = 200; });
  pump();
  const auto spaces = harness.store().tabs().spaces.peek();
  ASSERT_EQ(spaces.size(), 3u);
  auto& switcher = testing::widgetNamed<SpaceSwitcher>(harness.sidebar(), "SpaceSwitcher");
  expectWholeButtonsBetweenTheArrows(harness, "sidebar 200 points wide");
  EXPECT_TRUE(testing::widgetNamed(switcher, "SpaceSwitcherForward").get_mapped());
  SidebarHarness::screenshot("switcher-narrow-sidebar");
  for (const auto& space : spaces) reachWithThePointer(harness, space);
}

}  // namespace
}  // namespace zemblo
