#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using testing::waitUntil;

// Whether the window shows a tooltip now.
bool tooltipShown(Gtk::Window& window) {
  GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(window.gobj()));
  while (child && std::string_view(G_OBJECT_TYPE_NAME(child)) != "GtkTooltipWindow") {
    child = gtk_widget_get_next_sibling(child);
  }
  return child && gtk_widget_get_mapped(child);
}

// Whether the toolkit waits to show a tooltip: its delay, a timeout on the display, runs from
// the pointer's last move; when it runs out, the toolkit asks the widget and shows its answer.
bool tooltipDelayRunning() {
  GSource* delay = g_main_context_find_source_by_funcs_user_data(nullptr, &g_timeout_funcs,
                                                                 gdk_display_get_default());
  return delay && g_strcmp0(g_source_get_name(delay), "[gtk] tooltip_popup_timeout") == 0;
}

// A tooltip never stands over the menu or popover its control opened: it goes when the menu
// comes, and does not come back while the menu is open.
TEST(TooltipTest, AControlsTooltipGivesWayToWhatTheControlOpened) {
  testing::SidebarHarness harness;
  auto& tile = *testing::favoriteTiles(harness.favoritesGrid()).front();
  const auto frame = harness.bounds(tile);
  const std::string at = std::to_string(int(frame.x + frame.width / 2)) + " " +
                         std::to_string(int(frame.y + frame.height / 2));
  harness.input("mousemove --window %1 " + at);
  ASSERT_TRUE(waitUntil([&] { return tooltipShown(harness.window()); }));
  harness.input("click 3");
  ASSERT_TRUE(waitUntil(
      [&] { return testing::menuUnder(tile) && testing::menuUnder(tile)->get_mapped(); }));
  EXPECT_TRUE(waitUntil([&] { return !tooltipShown(harness.window()); }));
  // The toolkit shows a tooltip again when its delay after the pointer's last move runs out.
  ASSERT_TRUE(waitUntil([] { return !tooltipDelayRunning(); }));
  harness.input("mousemove_relative 1 0");
  ASSERT_TRUE(waitUntil(tooltipDelayRunning));
  ASSERT_TRUE(waitUntil([] { return !tooltipDelayRunning(); }));
  // What it decided is on screen by the next frame, unless that started another delay.
  while (testing::waitForFrame() && tooltipDelayRunning()) {
    ASSERT_TRUE(waitUntil([] { return !tooltipDelayRunning(); }));
  }
  EXPECT_FALSE(tooltipShown(harness.window()));
  testing::menuUnder(tile)->popdown();
}

}  // namespace
}  // namespace zemblo
