#include "model/preferences_model.h"
#include "model/window_model.h"
#include "support/find_window.h"
#include "window/sidebar_resize_handle.h"

#include <gtest/gtest.h>

#include "platform/user_defaults.h"
#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

class SidebarResizeTest : public ::testing::Test {
 protected:
  SidebarResizeHandle& handle() {
    return testing::widgetNamed<SidebarResizeHandle>(harness.window(), "SidebarResizeHandle");
  }

  // In the coordinates of the X window, which has room for the window's shadow around it.
  std::pair<int, int> handleCentre() {
    const auto frame = harness.bounds(handle());
    double shadowX = 0;
    double shadowY = 0;
    gtk_native_get_surface_transform(GTK_NATIVE(harness.window().gobj()), &shadowX, &shadowY);
    return {int(frame.x + shadowX + frame.width / 2), int(frame.y + shadowY + frame.height / 2)};
  }

  // Drags the handle `dx` points with the real pointer, in small steps as a hand does.
  void drag(int dx) {
    const auto centre = handleCentre();
    const int x = centre.first;
    const int y = centre.second;
    const auto at = [y](int px) {
      return " mousemove --window %1 " + std::to_string(px) + " " + std::to_string(y);
    };
    std::string command = at(x) + " mousedown 1";
    for (int step = 1; step <= 10; ++step) command += " sleep 0.03" + at(x + dx * step / 10);
    command += " sleep 0.2 mouseup 1";
    const AppPreferences& prefs = harness.store().preferences().prefs();
    const double target =
        prefs.sidebarWidth + (prefs.sidebarSide == SidebarSide::leading ? dx : -dx);
    harness.input(command);
    ASSERT_TRUE(
        waitUntil([&] { return harness.store().preferences().prefs().sidebarWidth == target; }));
    pump();
  }

  // The handle as drawn under the pointer.
  bool hovered() {
    return (handle().get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT;
  }

  double savedWidth() {
    harness.store().finishWrites();
    UserDefaults saved(harness.home().root() / "config" / "user-defaults.json");
    return AppPreferences::load(saved).sidebarWidth;
  }

  SidebarHarness harness;
};

TEST_F(SidebarResizeTest, TheEdgeFollowsThePointerOnEitherSideAndTheWidthIsSaved) {
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.sidebarWidth = 260; });
  pump();
  const double height = harness.window().get_height();
  EXPECT_EQ(harness.bounds(handle()), (BrowserWindow::Frame{254, 40, 6, height - 80}));

  // The handle moves with the width it sets; the edge must still end under the pointer.
  drag(50);
  EXPECT_EQ(harness.store().preferences().prefs().sidebarWidth, 310);
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(harness.window())).width, 310);
  // Preference writes are coalesced: the last one lands a moment later.
  EXPECT_TRUE(waitUntil([&] { return savedWidth() == 310; }));

  harness.store().preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.sidebarSide = SidebarSide::trailing;
    prefs.sidebarWidth = 260;
  });
  pump();
  const double width = harness.window().get_width();
  EXPECT_EQ(harness.bounds(handle()).x, width - 260);
  drag(-50);
  EXPECT_EQ(harness.store().preferences().prefs().sidebarWidth, 310);
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(harness.window())).x, width - 310);
  EXPECT_TRUE(waitUntil([&] { return savedWidth() == 310; }));
}

TEST_F(SidebarResizeTest, TheResizeCursorGoesWhenTheSidebarHidesUnderAStillPointer) {
  const auto cursorName = [&]() -> std::string {
    GdkSurface* surface = harness.window().get_surface()->gobj();
    GdkDevice* pointer =
        gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_surface_get_display(surface)));
    GdkCursor* cursor = gdk_surface_get_device_cursor(surface, pointer);
    return cursor && gdk_cursor_get_name(cursor) ? gdk_cursor_get_name(cursor) : "";
  };
  const auto [x, y] = handleCentre();
  harness.input("mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y));
  ASSERT_TRUE(waitUntil([&] { return hovered(); }));
  pump();
  EXPECT_EQ(cursorName(), "ew-resize");

  harness.store().tabs().sidebarVisible.set(false);
  pump();
  EXPECT_FALSE(handle().get_mapped());
  EXPECT_NE(cursorName(), "ew-resize");
  EXPECT_FALSE(hovered());
}

}  // namespace
}  // namespace zemblo
