#include "sidebar/downloads_button.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/download_manager.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "sidebar/downloads_popover.h"
#include "sidebar/sidebar_context.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/popover_keys.h"
#include "widgets/tooltip_guard.h"

namespace zemblo {
namespace {

// The arrow fades from its resting opacity, 0.72, to 0.25 and back, a second each way.
constexpr double kPulseLow = 0.25 / 0.72;
constexpr double kPulseSeconds = 1;
constexpr double kSwellSeconds = 0.7;

std::string helpText(size_t unseen) {
  if (unseen == 0) return localized("İndirmeler");
  return withArgument(localized("İndirmeler (%@ yeni)"), std::to_string(unseen));
}

}  // namespace

// The small round mark of running downloads, in the theme gradient.
class DownloadsButton::Dot : public Gtk::Widget {
 public:
  Dot() {
    set_name("DownloadsDot");
    presentAsDecoration(*this);
    set_can_target(false);
    set_halign(Gtk::Align::END);
    set_valign(Gtk::Align::START);
    set_margin_end(kDotInset);
    set_margin_top(kDotInset);
  }

  void setGradient(const LinearGradient& gradient) {
    gradient_ = gradient;
    queue_draw();
  }

 protected:
  void measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimum_baseline,
                     int& natural_baseline) const override {
    minimum = natural = kDotSize;
    minimum_baseline = natural_baseline = -1;
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    GtkSnapshot* s = snapshot->gobj();
    const graphene_rect_t frame = paint::rect(0, 0, kDotSize, kDotSize);
    const GskRoundedRect circle = paint::roundedRect(frame, kDotSize / 2.0);
    gtk_snapshot_push_rounded_clip(s, &circle);
    paint::appendLinearGradient(s, frame, gradient_);
    gtk_snapshot_pop(s);
  }

 private:
  LinearGradient gradient_;
};

DownloadsButton::DownloadsButton(const SidebarContext& context)
    : context_(context),
      face_("arrow.down.circle", localized("İndirmeler"), true, [this] { toggle(); }),
      pulse_(face_.symbolImage(), kPulseLow, kPulseSeconds),
      dot_(std::make_unique<Dot>()),
      swell_(*this, 1, [this] { queue_draw(); }) {
  set_name("DownloadsButton");
  groupForScreenReaders(*this);
  set_valign(Gtk::Align::CENTER);
  set_child(face_);
  add_overlay(*dot_);

  popover_.set_parent(*this);
  popover_.set_position(Gtk::PositionType::TOP);
  popover_.add_css_class("downloads");
  popover_.signal_closed().connect([this] {
    showing_ = false;
    pulse();
  });
  hideTooltipWhileOpen(face_, popover_);
  pointerReturn_.watch(popover_);
  setUpPopoverKeys(popover_);
  groupToolkitParts(popover_);
  // Opened with the pointer, the popover itself holds the keyboard and is announced.
  setAccessibleName(popover_, localized("İndirmeler"));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

DownloadsButton::~DownloadsButton() {
  observer_.reset();
  popover_.unparent();
}

void DownloadsButton::size_allocate_vfunc(int width, int height, int baseline) {
  Gtk::Overlay::size_allocate_vfunc(width, height, baseline);
  if (popover_.get_visible()) popover_.present();
}

void DownloadsButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const double lift = std::sin(std::numbers::pi * std::clamp(swell_.value(), 0.0, 1.0));
  if (lift < 1e-3) {
    Gtk::Overlay::snapshot_vfunc(snapshot);
    return;
  }
  GtkSnapshot* s = snapshot->gobj();
  const graphene_point_t centre = GRAPHENE_POINT_INIT(get_width() / 2.0F, get_height() / 2.0F);
  const graphene_point_t back = GRAPHENE_POINT_INIT(-centre.x, -centre.y);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  const auto scale = float(1 + kSwell * lift);
  gtk_snapshot_scale(s, scale, scale);
  gtk_snapshot_translate(s, &back);
  snapshot_child(face_, snapshot);
  gtk_snapshot_restore(s);
  snapshot_child(*dot_, snapshot);
}

void DownloadsButton::toggle() {
  if (showing_) {
    popover_.popdown();
    return;
  }
  context_.downloads.markSeen();
  if (!content_) {
    content_ = std::make_unique<DownloadsPopover>(context_.downloads);
    popover_.set_child(*content_);
  }
  showing_ = true;
  pulse();
  // The button takes no focus from a click: focused, it was pressed from the keyboard.
  popupFor(popover_, !face_.has_focus());
}

void DownloadsButton::sync() {
  const bool running = context_.downloads.runningCount() > 0;
  size_t unseen = context_.downloads.unseen.get();
  // A download that starts while the list is open is seen there.
  if (showing_ && unseen > 0) {
    context_.downloads.markSeen();
    unseen = 0;
  }
  announce(unseen);
  face_.setSymbol(running ? "arrow.down.circle.fill" : "arrow.down.circle");
  face_.update(helpText(unseen), true);
  pulse();
  dot_->set_visible(running || unseen > 0);
  const Palette palette = themeColors(context_.preferences, context_.tabs);
  dot_->setGradient(gradient(palette.direction, palette.primary, palette.secondary));
}

void DownloadsButton::pulse() {
  // The open list shows each download's progress itself; the arrow beneath it rests meanwhile
  // rather than have the window drawn again ten times a second for it.
  pulse_.setRunning(!showing_ && context_.downloads.runningCount() > 0);
}

void DownloadsButton::announce(size_t unseen) {
  const bool started = unseen > announced_;
  announced_ = unseen;
  if (!started || context_.preferences.observablePrefs().peek().reduceMotion) return;
  swell_.jumpTo(0);
  swell_.easeTo(1, kSwellSeconds, Ease::out);
}

}  // namespace zemblo
