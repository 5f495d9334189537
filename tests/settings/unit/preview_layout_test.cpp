#include "settings/previews/preview_layout.h"

#include <gtest/gtest.h>

#include "settings/previews/density_thumb.h"

namespace zemblo {
namespace {

constexpr double kScale = 0.42;
constexpr double kWidth = 596;  // the pane's column

PreviewInputs inputs(const std::function<void(AppPreferences&)>& change = {}) {
  PreviewInputs in;
  if (change) change(in.prefs);
  in.palette = {Color::fromHex("#7B61FF"), Color::fromHex("#FF6FB5"), GradientDirection::diagonal,
                ""};
  in.spaces = {{{}, true}, {{}, false}, {{}, false}};
  in.greeting = "Merhaba";
  in.scale = kScale;
  return in;
}

TEST(PreviewLayout, CardMarginsFollowTheSideAndInsetAndClearTheWindowButtons) {
  struct Case {
    SidebarSide side;
    double inset;
    LayoutRect card;
  };
  const double sidebar = 264 * kScale;  // 110.88
  const Case cases[] = {
      // Right: 12.6 below the top (30 × 0.42), touching the left edge and the bottom.
      {SidebarSide::trailing, 0, {0, 12.6, kWidth - sidebar, 260 - 12.6}},
      // Left: against the sidebar, the top, the bottom and the right edge.
      {SidebarSide::leading, 0, {sidebar, 0, kWidth - sidebar, 260}},
      {SidebarSide::leading, 16, {sidebar, 6.72, kWidth - sidebar - 6.72, 260 - 2 * 6.72}},
      {SidebarSide::trailing, 16, {6.72, 12.6, kWidth - sidebar - 6.72, 260 - 12.6 - 6.72}},
  };
  for (const auto& c : cases) {
    const PreviewLayout layout = layoutPreview(inputs([&](AppPreferences& p) {
                                                 p.sidebarSide = c.side;
                                                 p.contentInset = c.inset;
                                               }),
                                               kWidth);
    SCOPED_TRACE(c.inset);
    EXPECT_NEAR(layout.card.frame.x, c.card.x, 1e-9);
    EXPECT_NEAR(layout.card.frame.y, c.card.y, 1e-9);
    EXPECT_NEAR(layout.card.frame.width, c.card.width, 1e-9);
    EXPECT_NEAR(layout.card.frame.height, c.card.height, 1e-9);
    EXPECT_NEAR(layout.sidebar.frame.x, c.side == SidebarSide::leading ? 0 : kWidth - sidebar,
                1e-9);
    // The address pill: 6 of padding, a spacer of 12 (left) or 6 (right), 5 of spacing.
    EXPECT_NEAR(layout.sidebar.pill.y, c.side == SidebarSide::leading ? 23 : 17, 1e-9);
  }
}

TEST(PreviewLayout, SidebarWidthScalesAndSetsTheTabBarsWithAFloor) {
  const struct {
    double width;
    double scale;
    double sidebar;
    std::array<double, 6> bars;
  } cases[] = {
      {200, kScale, 84, {33.48, 27, 37.8, 22.68, 30.24, 25.92}},
      {400, kScale, 168, {85.56, 69, 96.6, 57.96, 77.28, 66.24}},
      // A sidebar of 40 or less: every bar is 10 × its fraction.
      {200, 0.2, 40, {6.2, 5, 7, 4.2, 5.6, 4.8}},
  };
  for (const auto& c : cases) {
    PreviewInputs in = inputs([&](AppPreferences& p) { p.sidebarWidth = c.width; });
    in.scale = c.scale;
    const PreviewLayout layout = layoutPreview(in, kWidth);
    EXPECT_NEAR(layout.sidebar.frame.width, c.sidebar, 1e-9);
    ASSERT_EQ(layout.sidebar.tabs.size(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_NEAR(layout.sidebar.tabs[i].bar.width, c.bars[i], 1e-9);
  }
}

TEST(PreviewLayout, FavouritesTabRowsAndSpaceDots) {
  for (int64_t columns : {3, 4, 5}) {
    const PreviewLayout layout =
        layoutPreview(inputs([&](AppPreferences& p) { p.favoriteColumns = columns; }), kWidth);
    ASSERT_EQ(layout.sidebar.tiles.size(), size_t(2 * columns));
    for (size_t i = 0; i < layout.sidebar.tiles.size(); ++i) {
      EXPECT_EQ(layout.sidebar.tiles[i].dotColor, PreviewLayout::dotColors()[i % 6]);
    }
  }
  // Without favourites the tab list follows the pill: 5 of spacing and 2 above the list.
  const PreviewLayout bare = layoutPreview(inputs([](AppPreferences& p) {
                                             p.showFavorites = false;
                                             p.tabDensity = TabDensity::spacious;
                                           }),
                                           kWidth);
  EXPECT_TRUE(bare.sidebar.tiles.empty());
  EXPECT_NEAR(bare.sidebar.tabs[0].frame.y, bare.sidebar.pill.bottom() + 7, 1e-9);
  EXPECT_NEAR(bare.sidebar.tabs[1].frame.y - bare.sidebar.tabs[0].frame.y, 16.8 + 1, 1e-9);
  EXPECT_GT(bare.sidebar.tabs[0].fill.opacity, 0);
  EXPECT_EQ(bare.sidebar.tabs[1].fill.opacity, 0);

  // A stored column count the settings never offer still gives a sane grid.
  for (int64_t columns : {int64_t(0), int64_t(-3), int64_t(1) << 40}) {
    const PreviewLayout odd =
        layoutPreview(inputs([&](AppPreferences& p) { p.favoriteColumns = columns; }), kWidth);
    EXPECT_GE(odd.sidebar.tiles.size(), 2u);
    EXPECT_LE(odd.sidebar.tiles.size(), 16u);
  }

  // Only the first four spaces get a dot; the shown one is highlighted.
  PreviewInputs many = inputs();
  many.spaces = {{{}, false}, {{}, false}, {{}, false}, {{}, false}, {{}, true}};
  const PreviewLayout five = layoutPreview(many, kWidth);
  ASSERT_EQ(five.sidebar.spaces.size(), 4u);
  for (const auto& dot : five.sidebar.spaces) EXPECT_EQ(dot.highlight, 0);
  EXPECT_NEAR(five.sidebar.spaces[0].frame.y, 260 - 6 - 7, 1e-9);
}

TEST(PreviewLayout, ContentCardFollowsRadiusShadowAndLoadingBar) {
  const struct {
    ProgressStyle style;
    double barHeight;
    double gradient;
  } bars[] = {{ProgressStyle::gradient, 1.8, 1},
              {ProgressStyle::minimal, 1, 0},
              {ProgressStyle::hidden, 0, 1}};
  for (const auto& bar : bars) {
    const PreviewLayout layout = layoutPreview(inputs([&](AppPreferences& p) {
                                                 p.progressStyle = bar.style;
                                                 p.cornerRadius = 20;
                                                 p.contentShadow = false;
                                               }),
                                               kWidth);
    EXPECT_NEAR(layout.card.loadingBar.height, bar.barHeight, 1e-9);
    EXPECT_EQ(layout.card.loadingBarGradient, bar.gradient);
    EXPECT_NEAR(layout.card.loadingBar.width, 0.6 * layout.card.frame.width, 1e-9);
    EXPECT_NEAR(layout.card.cornerRadius, 20 * kScale * 1.2, 1e-9);
    EXPECT_EQ(layout.card.shadowOpacity, 0);
  }
  const PreviewLayout standard = layoutPreview(inputs(), kWidth);
  EXPECT_EQ(standard.card.shadowOpacity, 0.18);
  const auto& card = standard.card;
  EXPECT_NEAR(card.banner.y, card.frame.y + 10, 1e-9);
  EXPECT_NEAR(card.banner.height, 64, 1e-9);
  EXPECT_NEAR(card.lines[0].width, (card.frame.width - 20) * 0.8, 1e-9);
  EXPECT_NEAR(card.tiles[0].y, card.frame.y + 10 + 64 + 6 + 44 + 6, 1e-9);
  EXPECT_NEAR(card.tiles[2].right(), card.frame.right() - 10, 1e-9);
}

TEST(PreviewLayout, TintBackdropAndBlendingBetweenLayouts) {
  const PreviewLayout none =
      layoutPreview(inputs([](AppPreferences& p) { p.sidebarTint = SidebarTint::none; }), kWidth);
  EXPECT_EQ(none.gradientTint + none.solidTint, 0);
  EXPECT_EQ(none.backdropGrey, 0.93);
  const PreviewLayout solid =
      layoutPreview(inputs([](AppPreferences& p) { p.sidebarTint = SidebarTint::solid; }), kWidth);
  EXPECT_NEAR(solid.solidTint, 0.33, 1e-9);

  // Half way from left to right the sidebar is in the middle of its travel; a spring's
  // overshoot never pushes an opacity past 1.
  const PreviewLayout left = layoutPreview(inputs(), kWidth);
  const PreviewLayout right = layoutPreview(
      inputs([](AppPreferences& p) { p.sidebarSide = SidebarSide::trailing; }), kWidth);
  EXPECT_NEAR(blendLayouts(left, right, 0.5).sidebar.frame.x, right.sidebar.frame.x / 2, 1e-9);
  EXPECT_LE(blendLayouts(none, solid, 1.2).solidTint, 1);
  EXPECT_EQ(blendLayouts(left, right, 1).card.frame, right.card.frame);
}

TEST(DensityThumb, FiveRowsAtTheTopNeedTheDensitysHeight) {
  const std::pair<TabDensity, double> cases[] = {
      {TabDensity::compact, 74.4}, {TabDensity::regular, 85.2}, {TabDensity::spacious, 96}};
  for (const auto& [density, height] : cases) {
    const auto rows = DensityThumb::rows(density, 120);
    EXPECT_NEAR(rows.back().frame.bottom() + 8, height, 1e-9);
    EXPECT_NEAR(rows[0].bar.right(), 120 - 8 - 6, 1e-9);
  }
}

}  // namespace
}  // namespace zemblo
