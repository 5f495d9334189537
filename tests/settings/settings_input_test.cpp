#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

#include "settings/general_pane.h"
#include "settings/pane_harness.h"
#include "settings/space_chip.h"
#include "settings/spaces_pane.h"
#include "settings/window_pane.h"

// The settings window under real input from the X server: the wheel, the keys.
namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;
using testing::waitUntil;

class SettingsInputTest : public ::testing::Test {
 protected:
  // Runs beside the main loop, which must keep answering the display meanwhile. The window is
  // "%1".
  static void input(Gtk::Window& window, const std::string& actions) {
    Glib::spawn_command_line_async("xdotool search --sync --onlyvisible --name '^" +
                                   window.get_title() + "$' windowraise %1 " + actions);
  }

  // Where the middle of the widget lies in the settings window.
  std::pair<int, int> middleOf(Gtk::Widget& widget) {
    graphene_rect_t bounds;
    EXPECT_TRUE(
        gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(harness.view().gobj()), &bounds));
    return {int(bounds.origin.x + bounds.size.width / 2),
            int(bounds.origin.y + bounds.size.height / 2)};
  }

  // Moves the pointer there, then acts, then moves it to the window's corner; true once the
  // window has seen the pointer reach the corner, so that it has handled every action before.
  bool pointAndAct(Gtk::Widget& widget, const std::string& actions) {
    const auto [x, y] = middleOf(widget);
    bool backInCorner = false;
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_motion().connect([&](double px, double py) {
      if (px < 12 && py < 12) backInCorner = true;
    });
    harness.view().add_controller(motion);
    input(harness.view(), "mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y) +
                              " " + actions + " mousemove --window %1 4 4");
    const bool seen = waitUntil([&] { return backInCorner; });
    harness.view().remove_controller(motion);
    pump();
    return seen;
  }

  double scrolled() { return harness.view().shownScroller().get_vadjustment()->get_value(); }

  SettingsHarness harness;
};

TEST_F(SettingsInputTest, TheWheelScrollsThePaneOverSlidersAndChipsAndChangesNoSetting) {
  auto& window = testing::showPane<WindowPane>(harness, SettingsPane::window);
  const AppPreferences before = harness.store().prefs();
  const std::string file = harness.defaultsFile();
  ASSERT_TRUE(pointAndAct(window.cornerRadiusRow().slider(), "click --repeat 4 5"));
  EXPECT_GT(scrolled(), 0);
  ASSERT_TRUE(pointAndAct(window.contentInsetRow().slider(), "click --repeat 8 4"));
  EXPECT_EQ(scrolled(), 0);
  EXPECT_EQ(harness.store().prefs(), before);
  EXPECT_EQ(harness.defaultsFile(), file);

  // The row of spaces scrolls sideways only: a wheel turned over it scrolls the pane.
  auto& spaces = testing::showPane<SpacesPane>(harness, SettingsPane::spaces);
  ASSERT_TRUE(pointAndAct(*spaces.chips().front(), "click --repeat 4 5"));
  EXPECT_GT(scrolled(), 0);
}

TEST_F(SettingsInputTest, ArrowKeysMoveAFocusedSliderOneStepAndTheFileHoldsTheStepsValue) {
  harness.store().updatePrefs([](AppPreferences& prefs) { prefs.defaultZoom = 2.0; });
  auto& general = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  general.defaultZoomRow().slider().grab_focus();
  input(harness.view(), "windowfocus --sync %1 key Left");
  ASSERT_TRUE(waitUntil([&] { return harness.store().prefs().defaultZoom != 2.0; }));
  EXPECT_EQ(testing::savedPrefs(harness.store()).defaultZoom, 1.9);
  // The value as the file writes it: the step's decimals, none of the binary fraction's.
  const auto saved = nlohmann::json::parse(harness.defaultsFile());
  const std::string prefs = saved.at(std::string(AppPreferences::kDefaultsKey));
  const std::string key = "\"defaultZoom\":";
  const size_t at = prefs.find(key) + key.size();
  EXPECT_EQ(prefs.substr(at, prefs.find_first_of(",}", at) - at), "1.9");
}

TEST_F(SettingsInputTest, EscapeClosesAnOpenListFirstThenTheWindowAndControlWClosesItToo) {
  // The application hides a closed window and drops it later; so does this test.
  int closes = 0;
  harness.view().signal_close_request().connect(
      [&] {
        ++closes;
        harness.view().set_visible(false);
        return true;
      },
      false);
  auto& general = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  Gtk::DropDown& engines = general.enginePicker();
  const auto popup = [&] {
    for (Gtk::Widget* child = engines.get_first_child(); child; child = child->get_next_sibling()) {
      if (auto* list = dynamic_cast<Gtk::Popover*>(child)) return list;
    }
    return static_cast<Gtk::Popover*>(nullptr);
  };
  const auto [x, y] = middleOf(engines);
  input(harness.view(),
        "mousemove --window %1 " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  ASSERT_TRUE(waitUntil([&] { return popup() && popup()->get_visible(); }));
  input(harness.view(), "windowfocus --sync %1 key Escape");
  ASSERT_TRUE(waitUntil([&] { return !popup()->get_visible(); }));
  EXPECT_EQ(closes, 0);
  input(harness.view(), "windowfocus --sync %1 key Escape");
  EXPECT_TRUE(waitUntil([&] { return closes == 1; }));

  harness.view().present();
  input(harness.view(), "windowfocus --sync %1 key ctrl+w");
  EXPECT_TRUE(waitUntil([&] { return closes == 2; }));
}

}  // namespace
}  // namespace zemblo
