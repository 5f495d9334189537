#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::waitUntil;

// Whether the window shows a tooltip now.
bool tooltipShown(Gtk::Window& window) {
  GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(window.gobj()));
  while (child && std::string_view(G_OBJECT_TYPE_NAME(child)) != "GtkTooltipWindow") {
    child = gtk_widget_get_next_sibling(child);
  }
  return child && gtk_widget_get_mapped(child);
}

// A tooltip never stands over the menu or popover its control opened: it goes when the menu
// comes, and does not come back while the menu is open.
TEST(TooltipTest, AControlsTooltipGivesWayToWhatTheControlOpened) {
  testing::SidebarHarness harness;
  auto& tile = *harness.sidebar().favoritesGrid().tiles().front();
  const auto frame = harness.bounds(tile);
  const std::string at = std::to_string(int(frame.x + frame.width / 2)) + " " +
                         std::to_string(int(frame.y + frame.height / 2));
  harness.input("mousemove --window %1 " + at);
  ASSERT_TRUE(waitUntil([&] { return tooltipShown(harness.window()); }));
  harness.input("click 3 mousemove_relative 1 0");
  ASSERT_TRUE(waitUntil([&] { return tile.menu() && tile.menu()->get_mapped(); }));
  EXPECT_TRUE(waitUntil([&] { return !tooltipShown(harness.window()); }));
  // The toolkit shows tooltips again a moment after the pointer moves: it must not here.
  waitUntil([] { return false; }, std::chrono::milliseconds(1200));
  EXPECT_FALSE(tooltipShown(harness.window()));
  tile.menu()->popdown();
}

}  // namespace
}  // namespace zemblo
