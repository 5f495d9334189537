#include "window/browser_window.h"
#include "support/find_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/localization.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "window/accessibility_tree.h"
#include "window/card_drawing.h"
#include "window/notice_overlay.h"
#include "window/space_background.h"
#include "window/window_accessor.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using Frame = BrowserWindow::Frame;
using testing::pump;
using testing::WindowHarness;

BrowserWindow::LayoutFrames frames(bool leading, bool visible, double inset, double peek = 0) {
  BrowserWindow::LayoutInput input;
  input.width = 1200;
  input.height = 800;
  input.leading = leading;
  input.sidebarWidth = 260;
  input.inset = inset;
  input.leadingColumn = visible && leading ? 1 : 0;
  input.trailingColumn = visible && !leading ? 1 : 0;
  input.peek = peek;
  return BrowserWindow::layoutFrames(input);
}

TEST(BrowserWindowLayoutTest, PadsTheCardBesideTheColumnOrByTheInset) {
  // Docked on the left: the card starts where the column ends.
  auto left = frames(true, true, 10);
  EXPECT_EQ(left.card, (Frame{260, 10, 1200 - 260 - 10, 800 - 20}));
  EXPECT_EQ(left.column, (Frame{0, 0, 260, 800}));
  EXPECT_EQ(left.columnOpacity, 1);

  // On the right the window buttons need at least 30 points above the card.
  auto right = frames(false, true, 10);
  EXPECT_EQ(right.card, (Frame{10, 30, 1200 - 10 - 260, 800 - 30 - 10}));
  EXPECT_EQ(right.column, (Frame{1200 - 260, 0, 260, 800}));
  EXPECT_EQ(frames(false, true, 40).card.y, 40);

  // Hidden: the inset on every side, the column slid out past its edge.
  for (const bool leading : {true, false}) {
    auto hidden = frames(leading, false, 10);
    EXPECT_EQ(hidden.card, (Frame{10, 10, 1180, 780}));
    EXPECT_EQ(hidden.columnOpacity, 0);
  }
  EXPECT_EQ(frames(true, false, 10).column.x, -260);
  EXPECT_EQ(frames(false, false, 10).column.x + 260, 1200 + 260);
}

TEST(BrowserWindowLayoutTest, PlacesTheHoverStripAndThePeekAtTheSidebarsEdge) {
  EXPECT_EQ(frames(true, false, 10).hoverStrip, (Frame{0, 0, 10, 800}));
  EXPECT_EQ(frames(false, false, 10).hoverStrip, (Frame{1190, 0, 10, 800}));

  // The peek's area includes its 8-point margin, so the panel floats 8 points from the edges.
  auto left = frames(true, false, 10, 1);
  EXPECT_EQ(left.peek, (Frame{0, 0, 260 + 16, 800}));
  EXPECT_EQ(left.peekOpacity, 1);
  auto right = frames(false, false, 10, 1);
  EXPECT_EQ(right.peek, (Frame{1200 - 276, 0, 276, 800}));
  // Out, it lies wholly beyond its edge.
  EXPECT_EQ(frames(true, false, 10, 0).peek.x, -276);
  EXPECT_EQ(frames(false, false, 10, 0).peek.x, 1200);
  EXPECT_EQ(frames(false, false, 10, 0).peekOpacity, 0);
}

TEST(BrowserWindowLayoutTest, SizesFromThePreferencesAreKeptSane) {
  AppPreferences prefs;
  prefs.sidebarWidth = 5000;
  prefs.contentInset = -3;
  prefs.cornerRadius = std::numeric_limits<double>::infinity();
  prefs.grain = 7;
  EXPECT_EQ(sizes::sidebarWidth(prefs), 400);
  EXPECT_EQ(sizes::contentInset(prefs), 0);
  EXPECT_EQ(sizes::cornerRadius(prefs), 48);
  EXPECT_EQ(sizes::grain(prefs), 1);
  prefs.sidebarWidth = 12;
  prefs.contentInset = std::nan("");
  prefs.cornerRadius = std::nan("");
  prefs.colorStrength = 3;
  EXPECT_EQ(sizes::sidebarWidth(prefs), 200);
  EXPECT_EQ(sizes::contentInset(prefs), 8);
  EXPECT_EQ(sizes::cornerRadius(prefs), 12);
  EXPECT_EQ(sizes::tintOpacity(prefs, ColorScheme::light), 1);
  prefs.sidebarTint = SidebarTint::none;
  EXPECT_EQ(sizes::tintOpacity(prefs, ColorScheme::light), 0);
}

class BrowserWindowTest : public ::testing::Test {
 protected:
  BrowserWindow& window() { return harness.window(); }
  Frame card() { return harness.bounds(harness.content()); }
  void setPrefs(const std::function<void(AppPreferences&)>& change) {
    harness.store().preferences().updatePrefs(change);
    pump();
  }
  void setSidebarVisible(bool visible) {
    harness.store().tabs().sidebarVisible.set(visible);
    pump();
  }

  WindowHarness harness;
};

TEST_F(BrowserWindowTest, HidingTheSidebarHidesTheButtonsAndOpensAHoverStrip) {
  setPrefs([](AppPreferences& p) {
    p.sidebarWidth = 280;
    p.contentInset = 10;
  });
  const int width = window().get_width();
  const int height = window().get_height();
  EXPECT_EQ(card(), (Frame{280, 10, width - 290.0, height - 20.0}));
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(window())), (Frame{0, 0, 280, double(height)}));
  EXPECT_FALSE(testing::widgetNamed(window(), "HoverStrip").get_visible());
  EXPECT_FALSE(!testing::windowButtons(window()).get_can_target());
  EXPECT_TRUE(testing::windowButtons(window()).get_can_target());
  WindowHarness::screenshot("window-sidebar-left");

  setSidebarVisible(false);
  EXPECT_EQ(card(), (Frame{10, 10, width - 20.0, height - 20.0}));
  EXPECT_FALSE(testing::sidebarColumn(window()).get_visible());
  EXPECT_EQ(harness.bounds(testing::widgetNamed(window(), "HoverStrip")),
            (Frame{0, 0, 10, double(height)}));
  // Invisible buttons take no clicks either.
  EXPECT_EQ(testing::windowButtons(window()).get_opacity(), 0);
  EXPECT_FALSE(testing::windowButtons(window()).get_can_target());

  // The strip brings out the peek sidebar, and with it the buttons.
  window().hoverStripEntered();
  pump();
  ASSERT_TRUE(testing::widgetNamed(window(), "PeekSidebar").get_visible());
  EXPECT_EQ(harness.bounds(testing::widgetNamed(window(), "PeekSidebar")),
            (Frame{0, 0, 296, double(height)}));
  EXPECT_EQ(testing::windowButtons(window()).get_opacity(), 1);
  EXPECT_TRUE(testing::windowButtons(window()).get_can_target());
  WindowHarness::screenshot("window-peek");

  // Leaving the peek puts it away.
  window().peekSidebarLeft();
  pump();
  EXPECT_FALSE(testing::widgetNamed(window(), "PeekSidebar").get_visible());
  EXPECT_TRUE(!testing::windowButtons(window()).get_can_target());

  // Showing the sidebar while peeking closes the peek; the buttons stay.
  window().hoverStripEntered();
  pump();
  setSidebarVisible(true);
  EXPECT_FALSE(testing::widgetNamed(window(), "PeekSidebar").get_visible());
  EXPECT_FALSE(testing::widgetNamed(window(), "PeekSidebar").get_visible());
  EXPECT_FALSE(testing::widgetNamed(window(), "HoverStrip").get_visible());
  EXPECT_FALSE(!testing::windowButtons(window()).get_can_target());
}

TEST_F(BrowserWindowTest, TheSidebarOnTheRightMovesTheStripAndPeekAlong) {
  setPrefs([](AppPreferences& p) {
    p.sidebarSide = SidebarSide::trailing;
    p.sidebarWidth = 250;
    p.contentInset = 10;
  });
  const double width = window().get_width();
  EXPECT_EQ(card().x, 10);
  EXPECT_EQ(card().y, 30);
  EXPECT_EQ(card().width, width - 10 - 250);
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(window())).x, width - 250);

  setSidebarVisible(false);
  EXPECT_EQ(card().y, 10);
  EXPECT_EQ(harness.bounds(testing::widgetNamed(window(), "HoverStrip")).x, width - 10);
  window().hoverStripEntered();
  pump();
  EXPECT_EQ(harness.bounds(testing::widgetNamed(window(), "PeekSidebar")).x, width - 266);
}

TEST_F(BrowserWindowTest, StoredSizesOutOfRangeAreClampedButNotRewritten) {
  setPrefs([](AppPreferences& p) {
    p.sidebarWidth = 5000;
    p.contentInset = 900;
    p.cornerRadius = -20;
  });
  EXPECT_EQ(harness.bounds(testing::sidebarColumn(window())).width, 400);
  EXPECT_EQ(card().x, 400);
  EXPECT_EQ(card().y, 48);
  EXPECT_EQ(testing::drawnCornerRadius(harness.content()), 0);
  EXPECT_EQ(harness.store().preferences().prefs().sidebarWidth, 5000);
  EXPECT_EQ(harness.store().preferences().prefs().contentInset, 900);
  EXPECT_EQ(harness.store().preferences().prefs().cornerRadius, -20);
}

TEST_F(BrowserWindowTest, FontDesignAndBackgroundFollowThePreferences) {
  setPrefs([](AppPreferences& p) {
    p.interfaceFont = InterfaceFont::mono;
    p.sidebarMaterial = SidebarMaterial::opaque;
    p.sidebarTint = SidebarTint::solid;
    p.colorStrength = 0.5;
    p.grain = 0.4;
  });
  Gtk::Widget* content = &testing::widgetNamed(window(), "BrowserWindowContent");
  EXPECT_TRUE(content->has_css_class("font-mono"));
  EXPECT_FALSE(content->has_css_class("font-system"));

  Gtk::Widget& background = testing::widgetNamed(window(), "SpaceBackground");
  EXPECT_FALSE(testing::widgetNamed(background, "VisualEffectView").get_visible());
  // The solid tint moves the whole opaque grey halfway to the space's first colour.
  const Color first = Color::fromHex(harness.store().tabs().currentSpace()->colorA.peek());
  const Color left = testing::meanDrawnColor(background, 0, 0, 0.5, 1);
  const Color right = testing::meanDrawnColor(background, 0.5, 0, 1, 1);
  setPrefs([](AppPreferences& p) { p.sidebarTint = SidebarTint::none; });
  const Color bare = testing::meanDrawnColor(background, 0, 0, 1, 1);
  for (const auto channel : {&Color::r, &Color::g, &Color::b}) {
    EXPECT_NEAR(left.*channel, right.*channel, 0.02);
    if (std::abs(first.*channel - bare.*channel) < 0.2) continue;
    EXPECT_NEAR((left.*channel - bare.*channel) / (first.*channel - bare.*channel), 0.5, 0.03);
  }

  // A gradient starts from the first colour in the corner its direction names: how much nearer
  // to it the top-left corner is than the bottom-left one.
  setPrefs([](AppPreferences& p) { p.sidebarTint = SidebarTint::gradient; });
  const auto firstAtTop = [&] {
    const auto awayFromFirst = [&](double top) {
      const Color corner = testing::meanDrawnColor(background, 0, top, 0.25, top + 0.25);
      return std::abs(corner.r - first.r) + std::abs(corner.g - first.g) +
             std::abs(corner.b - first.b);
    };
    return awayFromFirst(0.75) - awayFromFirst(0);
  };
  EXPECT_GT(firstAtTop(), 0.05);
  setPrefs([](AppPreferences& p) { p.gradientDirection = GradientDirection::diagonalUp; });
  EXPECT_TRUE(testing::waitUntil([&] { return firstAtTop() < -0.05; }));
}

// The peek floats over the page without a blur to soften it: its fill is all but opaque, so the
// page's black text does not show between its controls.
TEST_F(BrowserWindowTest, ThePeekHidesThePageTextBehindIt) {
  testing::TestServer server;
  std::string lines;
  for (int i = 0; i < 24; ++i) lines += "<div>MMMMMMMMMMMMMMMMMMMM</div>";
  server.page("/text",
              "<title>Text</title><body style='margin:0;background:white;color:black;"
              "font:900 40px/40px sans-serif'>" +
                  lines);
  setPrefs([](AppPreferences& p) {
    p.sidebarTint = SidebarTint::none;
    p.grain = 0;
  });
  auto tab = harness.open(server.url("/text"));
  ASSERT_TRUE(
      testing::waitUntil([&] { return tab->title.peek() == "Text" && !tab->isLoading.peek(); }));
  setSidebarVisible(false);
  window().hoverStripEntered();
  pump();
  ASSERT_TRUE(testing::waitUntil(
      [&] { return testing::widgetNamed(window(), "PeekSidebar").get_visible(); }));
  pump();
  WindowHarness::screenshot("peek-over-text");
  Gtk::Widget& layout = testing::widgetNamed(window(), "BrowserWindowContent");
  // A band where the peek's panel shows nothing but its fill: below the one tab, clear of its
  // edges.
  const Frame peek = testing::boundsIn(testing::widgetNamed(window(), "PeekSidebar"), layout);
  const Frame page = testing::boundsIn(harness.content(), layout);
  const int left = int(peek.x + BrowserWindow::kPeekMargin) + 24;
  const int right = int(peek.x + peek.width - BrowserWindow::kPeekMargin) - 24;
  const int top = int(peek.height * 0.45), bottom = int(peek.height * 0.6);
  // The page alone shows its black text there.
  ASSERT_TRUE(testing::waitUntil([&] {
    const auto card = testing::pixelsOf(harness.content());
    const int cardWidth = harness.content().get_width();
    int least = 255;
    for (int y = top; y < bottom; ++y) {
      for (int x = std::max(left, int(page.x)); x < right; ++x) {
        least = std::min<int>(
            least, card[(size_t(y - int(page.y)) * cardWidth + size_t(x - int(page.x))) * 4 + 1]);
      }
    }
    return least < 40;
  })) << "the page's text never showed there";

  const auto shown = testing::pixelsOf(layout);
  const auto fill =
      testing::pixelsOf(testing::widgetNamed<SpaceBackground>(window(), "SpaceBackground"));
  const int width = layout.get_width();
  int largest = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const size_t at = (size_t(y) * width + x) * 4;
      for (int i = 0; i < 3; ++i)
        largest = std::max(largest, std::abs(shown[at + i] - fill[at + i]));
    }
  }
  EXPECT_LE(largest, 8);
}

TEST_F(BrowserWindowTest, TheBackgroundStillShowsInTheCardsRoundedCorners) {
  setPrefs([](AppPreferences& p) {
    p.cornerRadius = 16;
    p.contentShadow = false;
  });
  Gtk::Widget& layout = testing::widgetNamed(window(), "BrowserWindowContent");
  const auto shown = testing::pixelsOf(layout);
  const auto behind =
      testing::pixelsOf(testing::widgetNamed<SpaceBackground>(window(), "SpaceBackground"));
  ASSERT_EQ(shown.size(), behind.size());
  const Frame frame = testing::boundsIn(harness.content(), layout);
  const int width = layout.get_width();
  // Outside each corner's arc (clear of its antialiased edge and the card's hairline) the window
  // shows exactly the background.
  const double radius = 16, clear = radius + 1.5;
  int compared = 0, differing = 0;
  for (int corner = 0; corner < 4; ++corner) {
    const double centerX = corner % 2 ? frame.x + frame.width - radius : frame.x + radius;
    const double centerY = corner / 2 ? frame.y + frame.height - radius : frame.y + radius;
    const int left = corner % 2 ? int(centerX) : int(frame.x);
    const int top = corner / 2 ? int(centerY) : int(frame.y);
    for (int y = top; y < top + int(radius); ++y) {
      for (int x = left; x < left + int(radius); ++x) {
        if (std::hypot(x + 0.5 - centerX, y + 0.5 - centerY) < clear) continue;
        const size_t at = (size_t(y) * width + x) * 4;
        ++compared;
        if (!std::equal(&shown[at], &shown[at + 4], &behind[at])) ++differing;
      }
    }
  }
  EXPECT_GT(compared, 100);
  EXPECT_EQ(differing, 0);
}

TEST_F(BrowserWindowTest, RebuildingTheContentKeepsTheShownPage) {
  testing::TestServer server;
  server.page("/kept", "<title>Kept</title><p>Still here.</p>");
  auto tab = harness.open(server.url("/kept"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*tab, "Kept"));
  Gtk::Widget& view = testing::WebHarness::portOf(*tab).widget();
  harness.store().tabs().findBarVisible.set(true);
  pump();

  const int navigations = testing::navigationsDuring(testing::WebHarness::viewOf(*tab), [&] {
    window().rebuildContent();
    pump();
  });
  EXPECT_EQ(navigations, 0);
  EXPECT_EQ(view.get_parent(), &testing::widgetNamed(harness.content(), "PageViewContainer"));
  EXPECT_EQ(tab->title.peek(), "Kept");
  EXPECT_EQ(server.hits("/kept"), 1);
  // The rebuilt content starts with fresh view state.
  EXPECT_EQ(testing::textFieldIn(testing::widgetNamed(harness.content(), "FindBar")).get_text(),
            "");
}

// The texts of the notices on screen, the front one first.
std::vector<std::string> shownNotices(Gtk::Widget& window) {
  std::vector<std::string> texts;
  for (GtkWidget* toast : testing::findAll(GTK_WIDGET(window.gobj()), [](GtkWidget* widget) {
         return std::string_view(G_OBJECT_TYPE_NAME(widget)) == "AdwToastWidget";
       })) {
    GtkWidget* label = testing::findFirst(toast, [](GtkWidget* w) { return GTK_IS_LABEL(w); });
    texts.push_back(label ? gtk_label_get_text(GTK_LABEL(label)) : "");
  }
  return texts;
}

TEST_F(BrowserWindowTest, NoticesShowOnceOverTheContent) {
  const auto closeButtons = [&] {
    return testing::readControls(window().get_title())[{"button", localized("Kapat")}].count;
  };
  const int windowsOwn = closeButtons();
  harness.store().notices.set({"First notice", "Second notice"});
  pump();
  EXPECT_TRUE(harness.store().notices.peek().empty());
  EXPECT_EQ(window().get_child()->get_name(), "NoticeOverlay");
  ASSERT_TRUE(testing::waitUntil(
      [&] { return shownNotices(window()) == std::vector<std::string>{"First notice"}; }));
  pump();
  // Its close button is announced as what it does, not as an image.
  EXPECT_EQ(closeButtons(), windowsOwn + 1);
  // Each notice shows once: the second waits behind the first, and nothing comes after it.
  for (const std::string next : {"Second notice", ""}) {
    GtkWidget* front = testing::findFirst(GTK_WIDGET(window().gobj()), [](GtkWidget* widget) {
      return std::string_view(G_OBJECT_TYPE_NAME(widget)) == "AdwToastWidget";
    });
    ASSERT_TRUE(front);
    testing::announced(*Glib::wrap(front), localized("Kapat")).activate();
    const std::vector<std::string> expected =
        next.empty() ? std::vector<std::string>{} : std::vector<std::string>{next};
    EXPECT_TRUE(testing::waitUntil([&] { return shownNotices(window()) == expected; })) << next;
  }
}

}  // namespace
}  // namespace zemblo
