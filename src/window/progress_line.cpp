#include "window/progress_line.h"

#include <algorithm>
#include <cmath>

#include "model/browser_tab.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"

namespace zemblo {

double ProgressLine::barHeight(ProgressStyle style) {
  return style == ProgressStyle::minimal ? 1.5 : 2.5;
}

double ProgressLine::visibleFraction(double progress) {
  if (std::isnan(progress)) return kMinimumFraction;
  return std::clamp(progress, kMinimumFraction, 1.0);
}

bool ProgressLine::isShown(bool isLoading, ProgressStyle style) {
  return isLoading && style != ProgressStyle::hidden;
}

ProgressLine::ProgressLine(const WindowModel& tabs, const PreferencesModel& preferences)
    : tabs_(tabs),
      preferences_(preferences),
      fraction_(*this, kMinimumFraction, [this] { queue_draw(); }),
      opacity_(*this, 0, [this] { queue_draw(); }) {
  set_name("ProgressLine");
  presentAsDecoration(*this);
  set_can_target(false);
  set_valign(Gtk::Align::START);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ProgressLine::~ProgressLine() = default;

void ProgressLine::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  // Another tab's load is not a continuation of this one: its bar starts where it stands.
  const bool loading = tab_ && tab_->isLoading.peek();
  fraction_.jumpTo(visibleFraction(tab_ ? tab_->progress.peek() : 0));
  opacity_.jumpTo(isShown(loading, values_.style) ? 1 : 0);
  observer_->syncNow();
}

void ProgressLine::sync() {
  const Palette palette = themeColors(preferences_, tabs_);
  Values next;
  next.colors = {palette.primary, palette.secondary};
  next.style = preferences_.prefs().progressStyle;
  if (tab_) {
    next.progress = tab_->progress.get();
    next.isLoading = tab_->isLoading.get();
  }
  if (next.style != values_.style) queue_resize();
  values_ = std::move(next);
  fraction_.easeTo(visibleFraction(values_.progress), 0.25, Ease::out);
  opacity_.easeTo(isShown(values_.isLoading, values_.style) ? 1 : 0, 0.4, Ease::inOut);
  queue_draw();
}

double ProgressLine::capsuleWidth() const {
  return std::clamp(fraction_.value(), 0.0, 1.0) * get_width();
}

Gtk::SizeRequestMode ProgressLine::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void ProgressLine::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                 int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  minimum = natural = orientation == Gtk::Orientation::VERTICAL
                          ? static_cast<int>(std::ceil(barHeight(values_.style)))
                          : 0;
}

void ProgressLine::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const double opacity = std::clamp(opacity_.value(), 0.0, 1.0);
  const double width = capsuleWidth();
  if (opacity <= 0 || width <= 0) return;
  GtkSnapshot* s = snapshot->gobj();
  const double height = barHeight(values_.style);
  const GdkRGBA accent =
      paint::styleColor(*this, "accent_bg_color", paint::rgba({0.21, 0.52, 0.89}));
  const GdkRGBA first = values_.colors.empty() ? accent : paint::rgba(values_.colors.front());
  const graphene_rect_t bounds = paint::rect(0, 0, width, height);
  const GskRoundedRect capsule = paint::roundedRect(bounds, height / 2);

  gtk_snapshot_push_opacity(s, opacity);
  const bool glow = values_.style == ProgressStyle::gradient;
  // GTK's software renderer blurs a shadow of drawn content across the whole window, ~30 ms on
  // every repaint of the page below the line. There the glow is the shadow of the capsule's
  // outline, which it blurs in small cached parts and which looks the same (its blur radius counts
  // twice a content shadow's there).
  const bool outlineGlow = glow && paint::drawnInSoftware(*this);
  GdkRGBA glowColor = first;
  glowColor.alpha *= 0.6f;
  if (outlineGlow) {
    gtk_snapshot_append_outset_shadow(s, &capsule, &glowColor, 0, 0, 0, 2 * kGlowRadius);
  } else if (glow) {
    const GskShadow shadow{glowColor, 0, 0, kGlowRadius};
    gtk_snapshot_push_shadow(s, &shadow, 1);
  }
  gtk_snapshot_push_rounded_clip(s, &capsule);
  if (values_.style == ProgressStyle::minimal || values_.colors.empty()) {
    gtk_snapshot_append_color(s, &first, &bounds);
  } else {
    std::vector<GdkRGBA> colors;
    for (const Color& color : values_.colors) colors.push_back(paint::rgba(color));
    paint::appendLinearGradient(s, bounds, UnitPoint::leading(), UnitPoint::trailing(), colors);
  }
  gtk_snapshot_pop(s);
  if (glow && !outlineGlow) gtk_snapshot_pop(s);
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
