#include "sidebar/sidebar_view.h"

#include <gtest/gtest.h>

#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/sidebar_harness.h"
#include "support/find_window.h"
#include "support/saved_session.h"
#include "window/window_accessor.h"

namespace zemblo {
namespace {

using testing::announced;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using testing::widgetNamed;

// The top bar's buttons, by the names they are announced by.
SidebarIconButton& toggleButton(Gtk::Widget& bar) {
  return announced<SidebarIconButton>(bar, localized("Kenar çubuğu (Ctrl+S)"));
}
SidebarIconButton& backButton(Gtk::Widget& bar) {
  return announced<SidebarIconButton>(bar, localized("Geri (Ctrl+[)"));
}
SidebarIconButton& forwardButton(Gtk::Widget& bar) {
  return announced<SidebarIconButton>(bar, localized("İleri (Ctrl+])"));
}
// Where the bar's buttons may start: clear of the window buttons, on the left.
int leadingPadding(SidebarTopBar& bar) {
  const graphene_point_t start = GRAPHENE_POINT_INIT(0, 0);
  graphene_point_t origin;
  EXPECT_TRUE(gtk_widget_compute_point(widgetNamed(bar, "SidebarTopBarRow").gobj(),
                                       GTK_WIDGET(bar.gobj()), &start, &origin));
  return static_cast<int>(origin.x);
}

std::vector<std::string> childNames(Gtk::Widget& parent) {
  std::vector<std::string> names;
  for (auto* child = parent.get_first_child(); child; child = child->get_next_sibling()) {
    names.push_back(child->get_name());
  }
  return names;
}

TEST(SidebarViewTest, StacksItsSectionsInAFixedOrder) {
  SidebarHarness harness;
  auto& sidebar = harness.sidebar();
  const std::vector<std::string> names = childNames(sidebar);
  ASSERT_EQ(names.size(), 6u);
  EXPECT_EQ(names[0], "SidebarTopBar");
  EXPECT_EQ(names[1], "AddressPill");
  EXPECT_EQ(names[4], "TabListView");
  // The column fills the docked frame, its content padded by 10 on the sides and at the bottom.
  const auto column = harness.bounds(sidebar);
  const auto topBar = harness.bounds(harness.topBar());
  const auto list = harness.bounds(harness.list());
  EXPECT_EQ(topBar.x, column.x + 10);
  EXPECT_EQ(topBar.y, 0);
  EXPECT_EQ(topBar.height, 30);
  EXPECT_EQ(topBar.width, column.width - 20);
  EXPECT_EQ(harness.bounds(harness.pill()).y, 30 + 12);
  EXPECT_EQ(harness.bounds(harness.pill()).height, 36);
  // The last section shown ends 10 points above the column's bottom.
  Gtk::Widget* last = sidebar.get_last_child();
  while (last && !last->get_visible()) last = last->get_prev_sibling();
  ASSERT_NE(last, nullptr);
  const auto bottom = harness.bounds(*last);
  EXPECT_EQ(bottom.y + bottom.height, column.height - 10);
  EXPECT_GT(list.height, 0);

  // The order does not depend on the preferences.
  harness.store().preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.sidebarSide = SidebarSide::trailing;
    prefs.tabDensity = TabDensity::compact;
  });
  pump();
  EXPECT_EQ(childNames(harness.sidebar()), names);
}

TEST(SidebarViewTest, TopBarKeepsClearOfTheWindowButtonsOnlyOnTheLeft) {
  SidebarHarness harness;
  auto& bar = harness.topBar();
  EXPECT_EQ(leadingPadding(bar), 72);
  const auto barFrame = harness.bounds(bar);
  // The buttons sit together at the trailing end, 2 points apart.
  const auto toggle = harness.bounds(toggleButton(bar));
  const auto back = harness.bounds(backButton(bar));
  const auto forward = harness.bounds(forwardButton(bar));
  EXPECT_EQ(forward.x + forward.width, barFrame.x + barFrame.width);
  EXPECT_EQ(back.x + back.width + 2, forward.x);
  EXPECT_EQ(toggle.x + toggle.width + 2, back.x);
  EXPECT_EQ(toggle.width, 28);
  EXPECT_EQ(toggle.height, 26);
  // The window buttons lie over the leading gap, clear of the bar's own buttons.
  const auto buttons = harness.bounds(testing::widgetNamed(harness.window(), "WindowAccessor"));
  EXPECT_LT(buttons.x, barFrame.x + 72);
  EXPECT_LT(buttons.x + buttons.width, toggle.x);

  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.sidebarSide = SidebarSide::trailing; });
  pump();
  EXPECT_EQ(leadingPadding(bar), 0);
  const auto right = harness.bounds(bar);
  const auto rightForward = harness.bounds(forwardButton(bar));
  EXPECT_EQ(rightForward.x + rightForward.width, right.x + right.width);
  // The bar is the window's drag handle, gap included.
  EXPECT_TRUE(dynamic_cast<Gtk::WindowHandle*>(&bar));
}

TEST(SidebarViewTest, TheToggleHidesAndShowsTheSidebarAndSchedulesASave) {
  SidebarHarness harness;
  auto& store = harness.store();
  auto& window = harness.window();
  ASSERT_TRUE(testing::sidebarColumn(window).get_visible());
  EXPECT_EQ(toggleButton(harness.topBar()).get_tooltip_text(), "Kenar çubuğu (Ctrl+S)");
  EXPECT_TRUE(toggleButton(harness.topBar()).get_sensitive());

  testing::press(toggleButton(harness.topBar()));
  EXPECT_FALSE(store.tabs().sidebarVisible.peek());
  EXPECT_TRUE(testing::sessionOnDiskHolds(
      [](const SessionSnapshot& saved) { return !saved.sidebarVisible; }));
  pump();
  // The hiding animation's end state: the column is gone and the card takes the window.
  EXPECT_FALSE(testing::sidebarColumn(window).get_visible());
  EXPECT_TRUE(testing::widgetNamed(window, "HoverStrip").get_visible());
  EXPECT_TRUE(!testing::windowButtons(window).get_can_target());
  EXPECT_EQ(harness.bounds(testing::widgetNamed(window, "ContentArea")).x,
            sizes::contentInset(store.preferences().prefs()));

  // The peek panel carries a sidebar of its own, whose toggle brings the docked one back.
  window.hoverStripEntered();
  pump();
  ASSERT_TRUE(testing::widgetNamed(window, "PeekSidebar").get_visible());
  testing::press(toggleButton(testing::widgetNamed(window, "PeekSidebar")));
  EXPECT_TRUE(store.tabs().sidebarVisible.peek());
  pump();
  EXPECT_TRUE(testing::sidebarColumn(window).get_visible());
  EXPECT_FALSE(testing::widgetNamed(window, "PeekSidebar").get_visible());
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(window)).x, 0);
}

TEST(SidebarViewTest, RealClicksOnTheToggleHideAndShowTheSidebar) {
  SidebarHarness harness;
  auto& window = harness.window();
  harness.click(toggleButton(harness.topBar()));
  ASSERT_TRUE(waitUntil([&] { return !harness.store().tabs().sidebarVisible.peek(); }));
  pump();
  EXPECT_FALSE(testing::sidebarColumn(window).get_visible());
  harness.store().tabs().sidebarVisible.set(true);
  pump();
  EXPECT_TRUE(testing::sidebarColumn(window).get_visible());
}

TEST(SidebarViewTest, BackAndForwardFollowTheCurrentTab) {
  SidebarHarness harness;
  auto& server = harness.server();
  server.page("/one", "<title>One</title><p>one</p>");
  server.page("/two", "<title>Two</title><p>two</p>");
  auto& bar = harness.topBar();
  auto tab = harness.open(server.url("/one"));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "One" && !tab->isLoading.peek(); }));
  pump();
  EXPECT_FALSE(backButton(bar).get_sensitive());
  EXPECT_FALSE(forwardButton(bar).get_sensitive());
  EXPECT_EQ(backButton(bar).get_tooltip_text(), "Geri (Ctrl+[)");
  EXPECT_EQ(forwardButton(bar).get_tooltip_text(), "İleri (Ctrl+])");

  tab->load(server.address("/two"));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "Two" && !tab->isLoading.peek(); }));
  ASSERT_TRUE(waitUntil([&] {
    pump();
    return backButton(bar).get_sensitive();
  }));
  EXPECT_FALSE(forwardButton(bar).get_sensitive());

  testing::press(backButton(bar));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "One"; }));
  ASSERT_TRUE(waitUntil([&] {
    pump();
    return forwardButton(bar).get_sensitive() && !backButton(bar).get_sensitive();
  }));
  testing::press(forwardButton(bar));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "Two"; }));

  // Another tab that has never loaded: both buttons go dark at once, and stay inert.
  auto fresh = harness.addTab("https://never.example/");
  harness.store().tabs().select(*fresh);
  pump();
  EXPECT_FALSE(backButton(bar).get_sensitive());
  EXPECT_FALSE(forwardButton(bar).get_sensitive());

  // Back on the first tab, back is there again.
  harness.store().tabs().select(*tab);
  pump();
  EXPECT_TRUE(backButton(bar).get_sensitive());

  // A space without a selected tab.
  harness.space().selectedTabID.set(std::nullopt);
  pump();
  EXPECT_FALSE(backButton(bar).get_sensitive());
}

TEST(SidebarViewTest, HelpTextsFollowTheLanguageOnRebuild) {
  SidebarHarness harness;
  harness.setLanguage(AppLanguage::english);
  auto& bar = harness.topBar();
  EXPECT_EQ(toggleButton(bar).get_tooltip_text(), "Sidebar (Ctrl+S)");
  EXPECT_EQ(backButton(bar).get_tooltip_text(), "Back (Ctrl+[)");
  EXPECT_EQ(forwardButton(bar).get_tooltip_text(), "Forward (Ctrl+])");
  EXPECT_EQ(testing::widgetNamed<Gtk::Label>(harness.newTabRow(), "NewTabRowLabel").get_text(),
            "New Tab");
}

// The style sheet lights the button under the pointer only while it is enabled.
bool showsHoverFill(Gtk::Button& button) {
  return button.has_css_class("hovering") && button.get_sensitive();
}

TEST(SidebarIconButtonTest, DisabledButtonsIgnoreClicksAndShowNoHoverFill) {
  testing::initializeGtkWithoutAnimations();
  int runs = 0;
  Gtk::Window window;
  SidebarIconButton button("chevron.left", "Geri", false, [&] { ++runs; });
  window.set_child(button);
  window.present();
  testing::pump();
  EXPECT_EQ(button.get_tooltip_text(), "Geri");
  button.setHovering(true);
  EXPECT_FALSE(showsHoverFill(button));
  EXPECT_FALSE(testing::press(button));
  EXPECT_EQ(runs, 0);
  // Enabled under the pointer: the fill shows; disabling it takes the fill away at once.
  button.update("Geri (Ctrl+[)", true);
  EXPECT_EQ(button.get_tooltip_text(), "Geri (Ctrl+[)");
  EXPECT_TRUE(showsHoverFill(button));
  EXPECT_TRUE(button.has_css_class("hovering"));
  EXPECT_TRUE(testing::press(button));
  EXPECT_EQ(runs, 1);
  button.update("Geri (Ctrl+[)", false);
  EXPECT_FALSE(showsHoverFill(button));
  button.setHovering(false);
  EXPECT_FALSE(button.has_css_class("hovering"));
  window.unset_child();
}

}  // namespace
}  // namespace zemblo
