#include "window/progress_line.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "support/find_window.h"
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
    return testing::widgetNamed<ProgressLine>(harness.content(), "ProgressLine");
  }
  // The strongest ink the bar drew at its last frame: 0 while it is faded out, when it draws
  // nothing at all.
  int ink() {
    GskRenderNode* node = testing::drawnNodeOf(line().gobj(), line().get_width(),
                                               line().get_height(), std::chrono::milliseconds(0));
    if (!node) return 0;
    gsk_render_node_unref(node);
    return testing::strongestInk(line());
  }
  // As drawn: how far the capsule reaches along the bar's middle row (its glow, fainter, left
  // out), and the colour of a pixel of its top row, red, green and blue.
  double drawnCapsuleWidth() {
    const auto pixels = testing::pixelsOf(line());
    const size_t row = size_t(line().get_height() / 2) * size_t(line().get_width());
    int strongest = 0, reach = 0;
    for (int x = 0; x < line().get_width(); ++x)
      strongest = std::max<int>(strongest, pixels[(row + x) * 4 + 3]);
    for (int x = 0; x < line().get_width(); ++x) {
      if (strongest > 0 && pixels[(row + x) * 4 + 3] >= strongest * 0.9) reach = x + 1;
    }
    return reach;
  }
  std::array<int, 3> drawnColorAt(int x) {
    const auto pixels = testing::pixelsOf(line());
    const size_t at = size_t(x) * 4;  // the top row, which even the thinnest bar covers
    const int alpha = std::max<int>(1, pixels[at + 3]);
    // Stored premultiplied, blue first.
    return {pixels[at + 2] * 255 / alpha, pixels[at + 1] * 255 / alpha, pixels[at] * 255 / alpha};
  }
  static std::array<int, 3> bytesOf(const Color& color) {
    return {int(std::lround(color.r * 255)), int(std::lround(color.g * 255)),
            int(std::lround(color.b * 255))};
  }
  static bool near(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    for (int i = 0; i < 3; ++i) {
      if (std::abs(a[i] - b[i]) > 6) return false;
    }
    return true;
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
  EXPECT_EQ(ink(), 255);
  const double reach = drawnCapsuleWidth();
  EXPECT_NEAR(reach, ProgressLine::visibleFraction(tab->progress.peek()) * card.width, 1.5);
  // A gradient from the theme's first colour to its second.
  const Palette palette = themeColors(harness.store().preferences(), harness.store().tabs());
  EXPECT_TRUE(near(drawnColorAt(4), bytesOf(palette.primary)));
  EXPECT_TRUE(near(drawnColorAt(int(reach) - 5), bytesOf(palette.secondary)));
  WindowHarness::screenshot("loading-bar");

  // The bar never takes a click: the page beneath gets it.
  Gtk::Widget* picked = harness.content().pick(card.width / 2, 1);
  ASSERT_NE(picked, nullptr);
  EXPECT_NE(picked, &line());

  // The settings change its look while the load goes on; the glow goes with the bar, and it
  // reaches a few pixels into the page below, not further.
  const auto pixelAt = [&](const std::vector<guchar>& pixels, int y) {
    const size_t at = (size_t(y) * size_t(card.width) + size_t(reach / 2)) * 4;
    return std::vector<guchar>(pixels.begin() + long(at), pixels.begin() + long(at) + 4);
  };
  const auto glowing = testing::pixelsOf(harness.content());
  harness.store().preferences().updatePrefs(
      [](AppPreferences& p) { p.progressStyle = ProgressStyle::hidden; });
  pump();
  EXPECT_EQ(ink(), 0);
  EXPECT_EQ(harness.bounds(line()).height, 3);
  const auto plain = testing::pixelsOf(harness.content());
  EXPECT_NE(pixelAt(glowing, 8), pixelAt(plain, 8));
  EXPECT_EQ(pixelAt(glowing, 30), pixelAt(plain, 30));
  harness.store().preferences().updatePrefs(
      [](AppPreferences& p) { p.progressStyle = ProgressStyle::minimal; });
  pump();
  EXPECT_EQ(ink(), 255);
  EXPECT_EQ(harness.bounds(line()).height, 2);

  // The theme colours follow the space.
  harness.store().tabs().currentSpace()->colorA.set("#00AA00");
  pump();
  EXPECT_TRUE(near(drawnColorAt(4), bytesOf(Color::fromHex("#00AA00"))));

  // Stopping ends the load: the bar fades out where it stood.
  const double width = drawnCapsuleWidth();
  testing::AnimationsOn animations;
  tab->storedWebView()->stopLoading();
  ASSERT_TRUE(waitUntil([&] {
    const int drawn = ink();
    return drawn > 0 && drawn < 255;
  })) << "the bar never faded";
  EXPECT_GE(drawnCapsuleWidth(), width - 1);
  EXPECT_TRUE(waitUntil([&] { return !tab->isLoading.peek() && ink() == 0; }));
}

}  // namespace
}  // namespace zemblo
