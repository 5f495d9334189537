#include "sidebar/reload_button.h"

#include <numbers>

#include "model/browser_tab.h"
#include "model/theme_colors.h"
#include "sidebar/sidebar_context.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kHoverSeconds = 0.15;
constexpr double kProgressSeconds = 0.25;
constexpr double kRingInset = 1.5;
constexpr double kRingWidth = 2;
constexpr double kGlyphPointSize = 11;

}  // namespace

ReloadButton::ReloadButton(const SidebarContext& context, std::shared_ptr<BrowserTab> tab)
    : context_(context),
      tab_(std::move(tab)),
      hover_(*this, 0, [this] { queue_draw(); }),
      ring_(*this, reloadRingFraction(0), [this] { queue_draw(); }),
      spin_(*this, 0, [this] { queue_draw(); }) {
  set_name("ReloadButton");
  set_focus_on_click(false);
  set_size_request(kSize, kSize);
  set_valign(Gtk::Align::CENTER);
  set_halign(Gtk::Align::CENTER);
  signal_clicked().connect([this] { pressed(); });
  trackHover(*this, [this](bool hovering) { setHovering(hovering); });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ReloadButton::~ReloadButton() = default;

void ReloadButton::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  // Another tab's load is not a continuation of this one.
  ring_.jumpTo(reloadRingFraction(tab_ ? tab_->progress.peek() : 0));
  observer_->syncNow();
}

void ReloadButton::sync() {
  loading_ = tab_ && tab_->isLoading.get();
  const double progress = tab_ ? tab_->progress.get() : 0;
  const Palette palette = themeColors(context_.preferences, context_.tabs);
  gradient_ = gradient(palette.direction, palette.primary, palette.secondary);
  scheme_ = context_.scheme();
  ring_.easeTo(reloadRingFraction(progress), kProgressSeconds, Ease::out);
  setHelpText(*this, reloadButtonHelp(loading_));
  queue_draw();
}

void ReloadButton::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  hover_.easeTo(hovering ? 1 : 0, kHoverSeconds, Ease::out);
}

const char* ReloadButton::glyph() const { return loading_ ? "xmark" : "arrow.clockwise"; }

void ReloadButton::pressed() {
  if (!tab_) return;
  if (loading_) {
    if (auto* view = tab_->storedWebView()) view->stopLoading();
    return;
  }
  tab_->reload();
  spinTarget_ += 360;
  spin_.springTo(spinTarget_, kSpinSpring);
}

void ReloadButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double x = (get_width() - kSize) / 2.0;
  const double y = (get_height() - kSize) / 2.0;
  const double h = std::clamp(hover_.value(), 0.0, 1.0);
  const graphene_rect_t disc = paint::rect(x, y, kSize, kSize);
  const GskRoundedRect round = paint::roundedRect(disc, kSize / 2.0);

  gtk_snapshot_push_rounded_clip(s, &round);
  const GdkRGBA resting = SidebarContext::primary(scheme_, 0.08 * (1 - h));
  gtk_snapshot_append_color(s, &resting, &disc);
  if (h > 0) paint::appendLinearGradient(s, disc, gradient_, h);
  gtk_snapshot_pop(s);

  if (loading_) {
    // Grows clockwise from the top.
    cairo_t* cr = gtk_snapshot_append_cairo(s, &disc);
    const double radius = kSize / 2.0 - kRingInset;
    const double start = -std::numbers::pi / 2;
    cairo_arc(cr, x + kSize / 2.0, y + kSize / 2.0, radius, start,
              start + 2 * std::numbers::pi * std::clamp(ring_.value(), 0.0, 1.0));
    cairo_set_line_width(cr, kRingWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_pattern_t* fill = cairo_pattern_create_linear(
        x + gradient_.startPoint.x * kSize, y + gradient_.startPoint.y * kSize,
        x + gradient_.endPoint.x * kSize, y + gradient_.endPoint.y * kSize);
    const Color& a = gradient_.startColor;
    const Color& b = gradient_.endColor;
    cairo_pattern_add_color_stop_rgb(fill, 0, a.r, a.g, a.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, b.r, b.g, b.b);
    cairo_set_source(cr, fill);
    cairo_stroke(cr);
    cairo_pattern_destroy(fill);
    cairo_destroy(cr);
  }

  const int pixels = symbolPixelSize(kGlyphPointSize);
  const GdkRGBA idle = SidebarContext::primary(scheme_, 0.8);
  const GdkRGBA color{static_cast<float>(idle.red + (1 - idle.red) * h),
                      static_cast<float>(idle.green + (1 - idle.green) * h),
                      static_cast<float>(idle.blue + (1 - idle.blue) * h),
                      static_cast<float>(idle.alpha + (1 - idle.alpha) * h)};
  const graphene_point_t centre =
      GRAPHENE_POINT_INIT(static_cast<float>(x + kSize / 2.0), static_cast<float>(y + kSize / 2.0));
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  if (!loading_) gtk_snapshot_rotate(s, static_cast<float>(spin_.value()));
  const graphene_rect_t box = paint::rect(-pixels / 2.0, -pixels / 2.0, pixels, pixels);
  appendSymbol(s, *this, glyph(), pixels, box, color);
  gtk_snapshot_restore(s);
}

}  // namespace zemblo
