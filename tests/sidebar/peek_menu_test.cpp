#include <gtest/gtest.h>

#include "model/window_model.h"
#include "sidebar/sidebar_harness.h"
#include "support/find_window.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::waitUntil;

// A tab's menu opened from the peeking sidebar lies outside the peek and takes the pointer; the
// peek must stay while the menu is open, or the menu would be torn down with it.
TEST(PeekSidebarMenuTest, TheMenuKeepsThePeekOpenUntilItCloses) {
  testing::SidebarHarness harness;
  auto page = harness.addTab("https://example.com/", "Example");
  harness.store().tabs().sidebarVisible.set(false);
  pump();
  // The pointer brings the peek out at the window's edge: anywhere else it would close it.
  ASSERT_TRUE(harness.movePointer(8, 400));
  harness.window().hoverStripEntered();
  pump();
  TabRow* row = testing::tabRowFor(testing::widgetNamed(harness.window(), "PeekSidebar"), *page);
  ASSERT_NE(row, nullptr);
  const auto frame = harness.bounds(*row);
  ASSERT_TRUE(harness.movePointer(int(frame.x + 40), int(frame.y + frame.height / 2)));
  harness.input("click 3");
  ASSERT_TRUE(waitUntil([&] { return row->contextMenu() && row->contextMenu()->get_mapped(); }));
  // The pointer the menu took has left the peek by now.
  testing::SidebarHarness::syncWithDisplay();
  EXPECT_TRUE(testing::widgetNamed(harness.window(), "PeekSidebar").get_visible());
  EXPECT_TRUE(row->contextMenu()->get_mapped());

  // Chosen from the menu, the item still acts; with the pointer outside, the peek then closes.
  row->activate_action("tab.reload");
  harness.inputAndWait("mousemove --window %1 900 500");
  EXPECT_TRUE(testing::widgetNamed(harness.window(), "PeekSidebar").get_visible());
  row->contextMenu()->popdown();
  ASSERT_TRUE(waitUntil(
      [&] { return !testing::widgetNamed(harness.window(), "PeekSidebar").get_visible(); }));
}

// The peek can come out while the pointer is already elsewhere, without ever entering it: any
// move outside the peek and the edge strip closes it, so that a click on the page lands there.
TEST(PeekSidebarMenuTest, ThePeekClosesWhenThePointerMovesOutsideItAndTheStrip) {
  testing::SidebarHarness harness;
  harness.store().tabs().sidebarVisible.set(false);
  pump();
  ASSERT_TRUE(harness.movePointer(900, 500));
  harness.window().hoverStripEntered();
  pump();
  ASSERT_TRUE(testing::widgetNamed(harness.window(), "PeekSidebar").get_visible());
  ASSERT_TRUE(harness.movePointer(910, 510));
  EXPECT_TRUE(waitUntil(
      [&] { return !testing::widgetNamed(harness.window(), "PeekSidebar").get_visible(); }));

  // Within the peek it stays.
  harness.window().hoverStripEntered();
  pump();
  ASSERT_TRUE(harness.movePointer(100, 400));
  pump();
  EXPECT_TRUE(testing::widgetNamed(harness.window(), "PeekSidebar").get_visible());
}

}  // namespace
}  // namespace zemblo
