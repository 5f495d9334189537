#include <gtest/gtest.h>

#include <adwaita.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/preferences_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/pane_harness.h"
#include "settings/panes/general_pane.h"
#include "settings/panes/privacy_pane.h"
#include "settings/panes/spaces_pane.h"
#include "settings/panes/window_pane.h"
#include "settings/settings_sidebar.h"
#include "settings/space_editor/symbol_tile.h"
#include "support/find_pane_controls.h"
#include "support/tab_round.h"
#include "support/x_input.h"

// The settings window under real input from the X server: the wheel, the keys.
namespace zemblo {
namespace {

using testing::pump;
using testing::waitUntil;

class SettingsInputTest : public ::testing::Test {
 protected:
  // Runs beside the main loop, which must keep answering the display meanwhile.
  void input(const std::string& actions) {
    testing::runBesideMainLoop(
        testing::xdotoolOn(harness.view().gobj(), "windowraise %1 " + actions));
  }
  void press(const std::string& keys) { harness.press(keys); }
  // Moves the pointer to the middle of the widget.
  std::string pointAt(Gtk::Widget& widget) {
    graphene_rect_t frame;
    EXPECT_TRUE(
        gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(harness.view().gobj()), &frame));
    return "mousemove --window %1 " + std::to_string(int(frame.origin.x + frame.size.width / 2)) +
           " " + std::to_string(int(frame.origin.y + frame.size.height / 2));
  }
  // Turns the wheel over the widget; true once the window has seen the pointer move on to its
  // corner afterwards, and so has handled every turn.
  bool wheelOver(Gtk::Widget& widget, const std::string& turns) {
    bool done = false;
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_motion().connect([&](double x, double y) { done = done || (x < 9 && y < 9); });
    harness.view().add_controller(motion);
    input(pointAt(widget) + " click --repeat " + turns + " mousemove --window %1 4 4");
    const bool seen = waitUntil([&] { return done; });
    harness.view().remove_controller(motion);
    pump();
    return seen;
  }
  double scrolled() {
    return testing::shownScroller(harness.view()).get_vadjustment()->get_value();
  }

  testing::SettingsHarness harness;
};

TEST_F(SettingsInputTest, TheWheelScrollsThePaneOverSlidersAndChipsAndChangesNoSetting) {
  auto& window = testing::showPane<WindowPane>(harness, SettingsPane::window);
  const AppPreferences before = harness.store().preferences().prefs();
  const std::string file = harness.defaultsFile();
  ASSERT_TRUE(wheelOver(testing::slider(window, "Köşe yuvarlaklığı"), "4 5"));  // down
  EXPECT_GT(scrolled(), 0);
  ASSERT_TRUE(wheelOver(testing::slider(window, "Kenar boşluğu"), "8 4"));  // up
  EXPECT_EQ(scrolled(), 0);
  EXPECT_EQ(harness.store().preferences().prefs(), before);
  EXPECT_EQ(harness.defaultsFile(), file);

  // The row of spaces scrolls sideways only.
  auto& spaces = testing::showPane<SpacesPane>(harness, SettingsPane::spaces);
  ASSERT_TRUE(wheelOver(testing::byWidgetName(spaces, "SpaceChip"), "4 5"));
  EXPECT_GT(scrolled(), 0);
}

TEST_F(SettingsInputTest, ArrowKeysMoveAFocusedSliderOneStepAndTheFileHoldsTheStepsValue) {
  harness.store().preferences().updatePrefs([](AppPreferences& prefs) { prefs.defaultZoom = 2.0; });
  auto& general = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  testing::slider(general, "Varsayılan yakınlaştırma").grab_focus();
  press("Left");
  ASSERT_TRUE(waitUntil([&] { return harness.store().preferences().prefs().defaultZoom != 2.0; }));
  EXPECT_EQ(testing::savedPrefs(harness).defaultZoom, 1.9);
  // As the file writes it: the step's decimals, none of a binary fraction's.
  const std::string prefs =
      nlohmann::json::parse(harness.defaultsFile()).at(std::string(AppPreferences::kDefaultsKey));
  const size_t at = prefs.find("\"defaultZoom\":") + 14;
  EXPECT_EQ(prefs.substr(at, prefs.find_first_of(",}", at) - at), "1.9");
}

TEST_F(SettingsInputTest, TabEntersThePaneShownShiftTabReturnsToTheListAndTheArrowsWalkIt) {
  SettingsView& view = harness.view();
  Gtk::Widget& appearance = testing::paneRow(view, SettingsPane::appearance);
  const auto inPane = [&] {
    Gtk::Widget* focus = view.get_focus();
    return focus && focus->is_ancestor(testing::shownScroller(view));
  };
  appearance.grab_focus();
  press("Tab");
  ASSERT_TRUE(waitUntil(inPane));
  EXPECT_EQ(testing::shownPaneTitle(view), paneTitle(SettingsPane::appearance));
  press("shift+Tab");
  ASSERT_TRUE(waitUntil([&] { return view.get_focus() == &appearance; }));
  press("ctrl+Tab");
  ASSERT_TRUE(waitUntil(inPane));
  EXPECT_EQ(testing::shownPaneTitle(view), paneTitle(SettingsPane::appearance));

  appearance.grab_focus();
  press("Down");
  EXPECT_TRUE(
      waitUntil([&] { return testing::shownPaneTitle(view) == paneTitle(SettingsPane::colors); }));
  EXPECT_EQ(view.get_focus(), &testing::paneRow(view, SettingsPane::colors));
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
  Gtk::DropDown& engines = testing::dropDown(
      testing::showPane<GeneralPane>(harness, SettingsPane::general), "Arama motoru");
  Gtk::Widget* list = nullptr;
  input(pointAt(engines) + " click 1");
  ASSERT_TRUE(waitUntil([&] {
    list = engines.get_last_child();
    return GTK_IS_POPOVER(list->gobj()) && list->get_visible();
  }));
  press("Escape");
  ASSERT_TRUE(waitUntil([&] { return !list->get_visible(); }));
  EXPECT_EQ(closes, 0);
  // On a busy machine the toolkit can still hand the list, closed, a key that comes at once:
  // a key the window ignores goes first, until the window has seen one.
  bool reached = false;
  auto probe = Gtk::EventControllerKey::create();
  probe->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  probe->signal_key_pressed().connect(
      [&](guint, guint, Gdk::ModifierType) {
        reached = true;
        return false;
      },
      false);
  harness.view().add_controller(probe);
  for (int tries = 0; tries < 5 && !reached; ++tries) {
    press("Shift_L");
    waitUntil([&] { return reached; }, std::chrono::seconds(2));
  }
  harness.view().remove_controller(probe);
  ASSERT_TRUE(reached);
  press("Escape");
  EXPECT_TRUE(waitUntil([&] { return closes == 1; }));

  harness.view().present();
  press("ctrl+w");
  EXPECT_TRUE(waitUntil([&] { return closes == 2; }));
}

TEST_F(SettingsInputTest, TabGoesRoundEveryPaneFromItsListRowAndBackReachingEveryControl) {
  const std::map<SettingsPane, std::vector<std::string>> expected = {
      {SettingsPane::general,
       {"Sistem dili", "Arama motoru", "Varsayılan yakınlaştırma", "Yazım denetimi"}},
      {SettingsPane::appearance, {"Sistem", "Koyu temadayken", "Mono", "Hareketi azalt"}},
      {SettingsPane::colors, {"Alan renkleri", "Renk yoğunluğu", "Renkleri sıfırla"}},
      {SettingsPane::sidebar, {"Solda", "Genişlik", "Favorileri göster"}},
      {SettingsPane::window, {"Kenarsız", "Köşe yuvarlaklığı", "Arka planı karart"}},
      {SettingsPane::startPage, {"Saat", "Duvar kâğıdı", "Hareket hızı"}},
      {SettingsPane::spaces, {"Kişisel", "Başlangıç rengi", "Bitiş rengi", "Sil…"}},
      {SettingsPane::privacy,
       {"Reklamları ve izleyicileri engelle", "Çerezleri ve site verilerini temizle…"}}};
  const auto pressAndWait = [&](const std::string& keys) { press(keys); };
  for (const SettingsPane pane : allCases<SettingsPane>()) {
    SCOPED_TRACE(rawValue(pane));
    harness.view().select(pane);
    pump();
    const auto round =
        testing::focusRound(testing::focusVisits(harness.view().gobj(), pressAndWait, 70));
    ASSERT_FALSE(round.empty()) << "Tab never came back to where it started";
    EXPECT_EQ(round.front(), GTK_WIDGET(testing::paneRow(harness.view(), pane).gobj()));
    std::set<std::string> names;
    for (GtkWidget* control : round) {
      const std::string name = testing::accessibleName(control);
      // A text part is named by the entry around it.
      EXPECT_TRUE(!name.empty() || GTK_IS_TEXT(control)) << G_OBJECT_TYPE_NAME(control);
      names.insert(name);
    }
    for (const std::string& name : expected.at(pane)) EXPECT_TRUE(names.contains(name)) << name;
    // The grid of symbols is one stop, the arrows walking it.
    EXPECT_EQ(std::ranges::count_if(round,
                                    [](GtkWidget* control) {
                                      return dynamic_cast<SymbolTile*>(Glib::wrap(control));
                                    }),
              pane == SettingsPane::spaces ? 1 : 0);
  }
}

TEST_F(SettingsInputTest, AControlUsedKeepsTheFocusOrHandsItToItsNeighbourInThePane) {
  // Site data cleared: the button, now disabled, hands the focus on within the pane.
  auto& privacy = testing::showPane<PrivacyPane>(harness, SettingsPane::privacy);
  Gtk::Button& clear = testing::named(privacy, localized("Çerezleri ve site verilerini temizle…"));
  clear.grab_focus();
  press("space");
  ASSERT_TRUE(waitUntil([] { return testing::shownQuestion() != nullptr; }));
  adw_message_dialog_response(testing::shownQuestion(), ConfirmationDialog::kConfirm);
  ASSERT_TRUE(waitUntil([&] { return !clear.is_sensitive(); }));
  EXPECT_TRUE(harness.view().get_focus() && harness.view().get_focus()->is_ancestor(privacy));

  // A language chosen with Space: the pane comes back in it with the focus on that card.
  auto& general = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  testing::named(general, "English").grab_focus();
  press("space");
  ASSERT_TRUE(waitUntil([&] { return localized("Dil") == "Language"; }));
  pump();
  ASSERT_TRUE(harness.view().get_focus());
  EXPECT_EQ(testing::accessibleName(harness.view().get_focus()->gobj()), "English");
}

}  // namespace
}  // namespace zemblo
