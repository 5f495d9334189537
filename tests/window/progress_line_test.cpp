#include "window/progress_line.h"
#include "support/find_window.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/preferences_model.h"
#include "model/tabs_model.h"
#include "model/theme_colors.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WindowHarness;

TEST(ProgressLineTest, HeightWidthAndVisibilityRules) {
  EXPECT_EQ(ProgressLine::barHeight(ProgressStyle::gradient), 2.5);
  EXPECT_EQ(ProgressLine::barHeight(ProgressStyle::minimal), 1.5);
  EXPECT_EQ(ProgressLine::barHeight(ProgressStyle::hidden), 2.5);

  // A load that has just started already shows a stub; a finished one spans the card.
  EXPECT_EQ(ProgressLine::visibleFraction(0), 0.06);
  EXPECT_EQ(ProgressLine::visibleFraction(0.05), 0.06);
  EXPECT_EQ(ProgressLine::visibleFraction(0.4), 0.4);
  EXPECT_EQ(ProgressLine::visibleFraction(1), 1.0);
  EXPECT_EQ(ProgressLine::visibleFraction(1.5), 1.0);
  EXPECT_EQ(ProgressLine::visibleFraction(std::nan("")), 0.06);

  EXPECT_TRUE(ProgressLine::isShown(true, ProgressStyle::gradient));
  EXPECT_TRUE(ProgressLine::isShown(true, ProgressStyle::minimal));
  EXPECT_FALSE(ProgressLine::isShown(true, ProgressStyle::hidden));
  EXPECT_FALSE(ProgressLine::isShown(false, ProgressStyle::gradient));
}

class ProgressLineLoadTest : public ::testing::Test {
 protected:
  ProgressLineLoadTest() {
    // The page arrives at once but its picture never does, so the tab keeps loading.
    server.page("/slow",
                "<title>Slow</title><body style='font:16px sans-serif;padding:24px'>"
                "<h1>A slow page</h1><p>Its picture is still on the way.</p><img src=/stall>");
    server.route("/stall", {.neverAnswer = true});
  }

  ProgressLine& line() {
    return testing::viewNamed<ProgressLine>(harness.content(), "ProgressLine");
  }

  TestServer server;
  WindowHarness harness;
};

TEST_F(ProgressLineLoadTest, ShowsWhileASlowPageLoadsAndFadesWhenItStops) {
  auto tab = harness.open(server.url("/slow"));
  ASSERT_TRUE(waitUntil([&] { return tab->title.peek() == "Slow" && tab->isLoading.peek(); }));
  pump();
  ASSERT_TRUE(tab->isLoading.peek());

  const auto card = harness.bounds(harness.content());
  const auto bar = harness.bounds(line());
  EXPECT_EQ(bar.x, card.x);
  EXPECT_EQ(bar.y, card.y);
  EXPECT_EQ(bar.width, card.width);
  EXPECT_EQ(bar.height, 3);  // 2.5 rounded up to whole pixels
  EXPECT_EQ(line().opacity(), 1);
  EXPECT_EQ(line().values().progress, tab->progress.peek());
  EXPECT_NEAR(line().capsuleWidth(),
              ProgressLine::visibleFraction(tab->progress.peek()) * card.width, 0.5);
  const Palette palette = themeColors(harness.store().preferences(), harness.store().tabs());
  EXPECT_EQ(line().values().colors, (std::vector<Color>{palette.primary, palette.secondary}));
  WindowHarness::screenshot("loading-bar");

  // The bar never takes a click: the page beneath gets it.
  Gtk::Widget* picked = harness.content().pick(card.width / 2, 1);
  ASSERT_NE(picked, nullptr);
  EXPECT_NE(picked, &line());

  // The settings change its look while the load goes on; the glow goes with the bar, and it
  // reaches a few pixels into the page below, not further.
  const auto pixelAt = [&](const std::vector<guchar>& pixels, int y) {
    const size_t at = (size_t(y) * size_t(card.width) + size_t(line().capsuleWidth() / 2)) * 4;
    return std::vector<guchar>(pixels.begin() + long(at), pixels.begin() + long(at) + 4);
  };
  const auto glowing = testing::pixelsOf(harness.content());
  harness.store().preferences().updatePrefs(
      [](AppPreferences& p) { p.progressStyle = ProgressStyle::hidden; });
  pump();
  EXPECT_EQ(line().opacity(), 0);
  EXPECT_EQ(harness.bounds(line()).height, 3);
  const auto plain = testing::pixelsOf(harness.content());
  EXPECT_NE(pixelAt(glowing, 8), pixelAt(plain, 8));
  EXPECT_EQ(pixelAt(glowing, 30), pixelAt(plain, 30));
  harness.store().preferences().updatePrefs(
      [](AppPreferences& p) { p.progressStyle = ProgressStyle::minimal; });
  pump();
  EXPECT_EQ(line().opacity(), 1);
  EXPECT_EQ(harness.bounds(line()).height, 2);

  // The theme colours follow the space.
  harness.store().tabs().currentSpace()->colorA.set("#00AA00");
  pump();
  EXPECT_EQ(line().values().colors.front(), Color::fromHex("#00AA00"));

  // Stopping ends the load: the bar fades out where it stood.
  const double width = line().capsuleWidth();
  tab->storedWebView()->stopLoading();
  ASSERT_TRUE(waitUntil([&] { return !tab->isLoading.peek(); }));
  pump();
  EXPECT_EQ(line().opacity(), 0);
  EXPECT_GE(line().capsuleWidth(), width);
}

}  // namespace
}  // namespace zemblo
