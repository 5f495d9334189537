#include "settings/previews/interface_preview.h"

#include "model/localization.h"

#include "widgets/accessibility.h"

#include <cstdio>

#include "settings/previews/settings_paint.h"
#include "widgets/grain_paint.h"

namespace zemblo {
namespace {

constexpr double kFrameShadowOpacity = 0.16;
constexpr double kFrameShadowBlur = 16;
constexpr double kFrameShadowY = 8;
constexpr double kFrameOutline = 0.5;
constexpr double kFrameOutlineOpacity = 0.12;
constexpr double kCardShadowBlur = 6;
constexpr double kCardShadowY = 2;
constexpr double kPillRadius = 4;
constexpr double kTileRadius = 3;
constexpr double kTabRowRadius = 4;
constexpr double kBannerRadius = 5;
constexpr double kBannerOpacity = 0.85;
constexpr double kGreetingPoints = 14;
constexpr double kGreetingInset = 7;
constexpr double kContentTileRadius = 4;
constexpr double kSpaceDotOpacity = 0.2;

const std::array<Color, 3> kLightColors{Color::fromHex("#FF5F57"), Color::fromHex("#FEBC2E"),
                                        Color::fromHex("#28C840")};

LinearGradient paletteGradient(const Palette& palette) {
  return gradient(palette.direction, palette.primary, palette.secondary);
}

}  // namespace

InterfacePreview::InterfacePreview(const SettingsContext& context, double scale)
    : context_(context), scale_(scale) {
  set_name("InterfacePreview");
  set_can_target(false);
  set_can_focus(false);
  set_hexpand(true);
  presentAsImage(*this, localized("Arayüz önizlemesi"));
  progress_ = std::make_unique<AnimatedValue>(*this, 1, [this] { queue_draw(); });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

InterfacePreview::~InterfacePreview() {
  observer_.reset();
  progress_.reset();
}

void InterfacePreview::sync() {
  PreviewInputs next =
      previewInputs(context_.preferences(), context_.tabs(), context_.scheme(), scale_);
  if (!from_) {
    target_ = std::move(next);
    from_ = layoutPreview(target_, get_width());
    queue_draw();
    return;
  }
  if (next == target_) return;
  const bool prefsChanged = next.prefs != target_.prefs;
  // The animation starts from what is on screen now, even in the middle of another one.
  from_ = shownLayout();
  target_ = std::move(next);
  progress_->jumpTo(0);
  progress_->springTo(1, prefsChanged ? kPreferencesSpring : kThemeSpring);
  queue_draw();
}

PreviewLayout InterfacePreview::shownLayout() const {
  const PreviewLayout to = layoutPreview(target_, get_width());
  if (!from_ || !progress_) return to;
  return blendLayouts(*from_, to, progress_->value());
}

void InterfacePreview::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                     int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = orientation == Gtk::Orientation::VERTICAL ? int(PreviewLayout::kHeight) : 0;
  minimum_baseline = natural_baseline = -1;
}

void InterfacePreview::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const PreviewLayout layout = shownLayout();
  const graphene_rect_t bounds = paint::rect(0, 0, layout.width, layout.height);
  const GskRoundedRect frame = paint::roundedRect(bounds, PreviewLayout::kCornerRadius);
  const GdkRGBA frameShadow = paint::grey(0, kFrameShadowOpacity);
  gtk_snapshot_append_outset_shadow(s, &frame, &frameShadow, 0, kFrameShadowY, 0, kFrameShadowBlur);
  // The backdrop, with the grain blended over it, stays the same while the layout before it
  // moves, as it does on every step of a dragged slider. It is kept with its corners clipped,
  // so that their edge pixels are mixed as when it is drawn under the clip of what follows.
  backdrop_.append(s, *this, bounds, backdropKey(layout), [&](GtkSnapshot* inner) {
    gtk_snapshot_push_rounded_clip(inner, &frame);
    drawBackdrop(inner, layout, bounds);
    gtk_snapshot_pop(inner);
  });
  gtk_snapshot_push_rounded_clip(s, &frame);
  drawSidebar(s, layout);
  drawCard(s, layout);
  for (size_t i = 0; i < layout.trafficLights.size(); ++i) {
    const LayoutRect& light = layout.trafficLights[i];
    settings_paint::roundedFill(s, light, light.width / 2, paint::rgba(kLightColors[i]));
  }
  gtk_snapshot_pop(s);
  paint::appendInsideBorder(s, frame, kFrameOutline,
                            settings_paint::primary(layout.windowScheme, kFrameOutlineOpacity));
}

std::string InterfacePreview::backdropKey(const PreviewLayout& layout) {
  const Palette& palette = layout.palette;
  char key[256];
  std::snprintf(key, sizeof key, "%a %a %a %a %a %a %a %a %a %a %d", layout.backdropGrey,
                layout.gradientTint, layout.solidTint, layout.grain, palette.primary.r,
                palette.primary.g, palette.primary.b, palette.secondary.r, palette.secondary.g,
                palette.secondary.b, int(palette.direction));
  return key;
}

void InterfacePreview::drawBackdrop(GtkSnapshot* s, const PreviewLayout& layout,
                                    const graphene_rect_t& bounds) {
  const bool grain = layout.grain > 0;
  if (grain) gtk_snapshot_push_blend(s, GSK_BLEND_MODE_OVERLAY);
  const GdkRGBA backdrop = paint::grey(layout.backdropGrey);
  gtk_snapshot_append_color(s, &backdrop, &bounds);
  if (layout.gradientTint > 0) {
    paint::appendLinearGradient(s, bounds, paletteGradient(layout.palette), layout.gradientTint);
  }
  if (layout.solidTint > 0) {
    const GdkRGBA solid = paint::rgba(layout.palette.primary, layout.solidTint);
    gtk_snapshot_append_color(s, &solid, &bounds);
  }
  if (grain) {
    gtk_snapshot_pop(s);
    paint::appendGrain(s, bounds, layout.grain);
    gtk_snapshot_pop(s);
  }
}

void InterfacePreview::drawSidebar(GtkSnapshot* s, const PreviewLayout& layout) {
  const ColorScheme scheme = layout.sidebarScheme;
  const auto& sidebar = layout.sidebar;
  settings_paint::roundedFill(s, sidebar.pill, kPillRadius, settings_paint::primary(scheme, 0.07));
  for (const auto& tile : sidebar.tiles) {
    settings_paint::roundedFill(s, tile.frame, kTileRadius, settings_paint::primary(scheme, 0.07));
    settings_paint::roundedFill(s, tile.dot, tile.dot.width / 2, paint::rgba(tile.dotColor));
  }
  for (const auto& row : sidebar.tabs) {
    if (row.fill.opacity > 0) {
      settings_paint::roundedFill(s, row.frame, kTabRowRadius,
                                  paint::rgba(row.fill.color, row.fill.opacity));
    }
    settings_paint::roundedFill(s, row.dot, row.dot.width / 2, paint::rgba(row.dotColor));
    settings_paint::roundedFill(s, row.bar, row.bar.height / 2,
                                settings_paint::primary(scheme, row.barOpacity));
  }
  for (const auto& dot : sidebar.spaces) {
    if (dot.highlight < 1) {
      settings_paint::roundedFill(
          s, dot.frame, dot.frame.width / 2,
          settings_paint::primary(scheme, kSpaceDotOpacity * (1 - dot.highlight)));
    }
    if (dot.highlight > 0) {
      settings_paint::roundedGradient(s, dot.frame, dot.frame.width / 2, dot.gradient,
                                      dot.highlight);
    }
  }
}

void InterfacePreview::drawCard(GtkSnapshot* s, const PreviewLayout& layout) {
  const auto& card = layout.card;
  const ColorScheme scheme = layout.windowScheme;
  const GskRoundedRect outline = paint::roundedRect(card.frame.graphene(), card.cornerRadius);
  if (card.shadowOpacity > 0) {
    const GdkRGBA shadow = paint::grey(0, card.shadowOpacity);
    gtk_snapshot_append_outset_shadow(s, &outline, &shadow, 0, kCardShadowY, 0, kCardShadowBlur);
  }
  gtk_snapshot_push_rounded_clip(s, &outline);
  const GdkRGBA page = paint::grey(card.pageGrey);
  gtk_snapshot_append_color(s, &page, &outline.bounds);

  const LinearGradient theme = paletteGradient(layout.palette);
  settings_paint::roundedGradient(s, card.banner, kBannerRadius, theme, kBannerOpacity);
  const graphene_rect_t banner = card.banner.graphene();
  gtk_snapshot_push_clip(s, &banner);
  auto text = create_pango_layout(layout.greeting);
  Pango::FontDescription font = text->get_context()->get_font_description();
  font.set_absolute_size(kGreetingPoints * PANGO_SCALE);
  font.set_weight(Pango::Weight::BOLD);
  text->set_font_description(font);
  int textWidth = 0, textHeight = 0;
  text->get_pixel_size(textWidth, textHeight);
  const graphene_point_t at =
      GRAPHENE_POINT_INIT(static_cast<float>(card.banner.x + kGreetingInset),
                          static_cast<float>(card.banner.bottom() - kGreetingInset - textHeight));
  const GdkRGBA white = paint::grey(1);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &at);
  gtk_snapshot_append_layout(s, text->gobj(), &white);
  gtk_snapshot_restore(s);
  gtk_snapshot_pop(s);

  for (const auto& line : card.lines) {
    settings_paint::roundedFill(s, line, line.height / 2, settings_paint::primary(scheme, 0.12));
  }
  for (const auto& tile : card.tiles) {
    settings_paint::roundedFill(s, tile, kContentTileRadius, settings_paint::primary(scheme, 0.06));
  }
  if (card.loadingBar.height > 0) {
    const LayoutRect& bar = card.loadingBar;
    settings_paint::roundedFill(s, bar, bar.height / 2,
                                paint::rgba(layout.palette.primary, 1 - card.loadingBarGradient));
    if (card.loadingBarGradient > 0) {
      settings_paint::roundedGradient(
          s, bar, bar.height / 2,
          gradient(GradientDirection::horizontal, layout.palette.primary, layout.palette.secondary),
          card.loadingBarGradient);
    }
  }
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
