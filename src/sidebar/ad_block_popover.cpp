#include "sidebar/ad_block_popover.h"

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kBadgeSymbolPointSize = 16;
constexpr double kShadowRadius = 6;
constexpr double kShadowOffsetY = 2;
constexpr double kShadowOpacity = 0.4;
constexpr double kIdleBadgeOpacity = 0.6;

Gtk::Label& styled(Gtk::Label& label, const char* cssClass) {
  label.add_css_class(cssClass);
  label.set_xalign(0);
  label.set_wrap(true);
  label.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  // A long text or host takes more lines, never more width: the popover stays 300 points wide.
  label.set_max_width_chars(1);
  return label;
}

}  // namespace

// The round badge of the header: the shield in white on the theme gradient while blocking,
// on grey otherwise.
class AdBlockPopover::Badge : public Gtk::Widget {
 public:
  Badge() {
    set_name("AdBlockBadge");
    presentAsDecoration(*this);
    set_valign(Gtk::Align::CENTER);
  }

  void setLook(const ShieldLook& look, const Palette& palette) {
    look_ = look;
    gradient_ = gradient(palette.direction, palette.primary, palette.secondary);
    shadow_ = palette.primary;
    queue_draw();
  }

 protected:
  void measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimum_baseline,
                     int& natural_baseline) const override {
    minimum = natural = kBadgeSize;
    minimum_baseline = natural_baseline = -1;
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    GtkSnapshot* s = snapshot->gobj();
    const graphene_rect_t frame = paint::rect(0, 0, kBadgeSize, kBadgeSize);
    const GskRoundedRect circle = paint::roundedRect(frame, kBadgeSize / 2.0);
    if (look_.blocking) {
      const GdkRGBA shadow = paint::rgba(shadow_, kShadowOpacity);
      gtk_snapshot_append_outset_shadow(s, &circle, &shadow, 0, kShadowOffsetY, 0, kShadowRadius);
    }
    gtk_snapshot_push_rounded_clip(s, &circle);
    if (look_.blocking) {
      paint::appendLinearGradient(s, frame, gradient_);
    } else {
      const GdkRGBA grey = paint::grey(0.5, kIdleBadgeOpacity);
      gtk_snapshot_append_color(s, &grey, &frame);
    }
    gtk_snapshot_pop(s);
    const int pixels = symbolPixelSize(kBadgeSymbolPointSize);
    const double inset = (kBadgeSize - pixels) / 2.0;
    appendSymbol(s, *this, look_.symbol, pixels, paint::rect(inset, inset, pixels, pixels),
                 GdkRGBA{1, 1, 1, 1});
  }

 private:
  ShieldLook look_;
  LinearGradient gradient_;
  Color shadow_;
};

AdBlockPopover::AdBlockPopover(PageServicesModel& pageServices, const WindowModel& tabs,
                               const PreferencesModel& preferences, std::shared_ptr<BrowserTab> tab)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 14),
      pageServices_(pageServices),
      tabs_(tabs),
      preferences_(preferences),
      tab_(std::move(tab)),
      badge_(std::make_unique<Badge>()) {
  set_name("AdBlockPopover");
  groupForScreenReaders(*this);
  // The width includes the padding.
  set_size_request(kWidth - 2 * kPadding, -1);
  set_margin_top(kPadding);
  set_margin_bottom(kPadding);
  set_margin_start(kPadding);
  set_margin_end(kPadding);

  titles_.append(styled(title_, "adblock-title"));
  titles_.append(styled(status_, "adblock-status"));
  status_.set_name("AdBlockStatus");
  titles_.set_hexpand(true);
  titles_.set_valign(Gtk::Align::CENTER);
  header_.append(*badge_);
  header_.append(titles_);
  append(header_);

  siteTexts_.append(styled(siteLabel_, "adblock-switch-label"));
  siteTexts_.append(styled(siteHint_, "adblock-hint"));
  append(switchRow(siteRow_, siteTexts_, siteSwitch_));
  siteRow_.set_name("AdBlockSiteRow");
  siteLabel_.set_name("AdBlockSiteLabel");
  siteSwitch_.set_name("AdBlockSiteSwitch");
  // A column of two texts gives no name: the switch is announced by its line and described by
  // the hint under it.
  gtk_accessible_update_relation(
      GTK_ACCESSIBLE(siteSwitch_.gobj()), GTK_ACCESSIBLE_RELATION_LABELLED_BY, siteLabel_.gobj(),
      nullptr, GTK_ACCESSIBLE_RELATION_DESCRIBED_BY, siteHint_.gobj(), nullptr, -1);
  append(divider_);
  append(switchRow(globalRow_, styled(globalLabel_, "adblock-switch-label"), globalSwitch_));
  globalSwitch_.set_name("AdBlockGlobalSwitch");
  append(styled(ruleCount_, "adblock-rule-count"));
  ruleCount_.set_name("AdBlockRuleCount");

  siteSwitch_.property_active().signal_changed().connect([this] {
    if (!syncing_) setBlockingOnSite(siteSwitch_.get_active());
  });
  globalSwitch_.property_active().signal_changed().connect([this] {
    if (!syncing_) setEnabledEverywhere(globalSwitch_.get_active());
  });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

AdBlockPopover::~AdBlockPopover() { observer_.reset(); }

Gtk::Box& AdBlockPopover::switchRow(Gtk::Box& row, Gtk::Widget& label, Gtk::Switch& toggle) {
  label.set_hexpand(true);
  label.set_valign(Gtk::Align::CENTER);
  toggle.set_valign(Gtk::Align::CENTER);
  row.append(label);
  row.append(toggle);
  // The switch is announced by the text beside it.
  gtk_accessible_update_relation(GTK_ACCESSIBLE(toggle.gobj()), GTK_ACCESSIBLE_RELATION_LABELLED_BY,
                                 label.gobj(), nullptr, -1);
  return row;
}

void AdBlockPopover::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  observer_->syncNow();
}

void AdBlockPopover::sync() {
  const AdBlocker& blocker = pageServices_.adBlocker();
  const std::optional<Url> url = tab_ ? tab_->url.get() : std::nullopt;
  const ShieldLook look = shieldLook(blocker, url);
  badge_->setLook(look, themeColors(preferences_, tabs_));

  title_.set_text(localized("Reklam Engelleyici"));
  status_.set_text(look.statusLine);

  const auto host = tab_ ? tab_->displayHost() : std::nullopt;
  const bool enabled = blocker.isEnabled.get();
  syncing_ = true;
  siteRow_.set_visible(host.has_value());
  if (host) {
    siteLabel_.set_text(withArgument(localized("%@ üzerinde engelle"), *host));
    siteHint_.set_text(localized("Site düzgün çalışmıyorsa kapat"));
    siteSwitch_.set_active(!blocker.isAllowed(*host));
  }
  // Greyed while the blocker is off everywhere, still showing the site's own choice.
  setUsable(siteRow_, enabled);
  globalLabel_.set_text(localized("Tüm sitelerde açık"));
  globalSwitch_.set_active(enabled);
  syncing_ = false;

  const auto count = ruleCountLine(blocker.ruleCount.get());
  ruleCount_.set_visible(count.has_value());
  if (count) ruleCount_.set_text(*count);
}

void AdBlockPopover::setBlockingOnSite(bool blocking) {
  if (tab_) pageServices_.setAdBlock(!blocking, *tab_);
}

void AdBlockPopover::setEnabledEverywhere(bool enabled) {
  pageServices_.adBlocker().setEnabled(enabled);
  if (const auto selected = tabs_.currentSpace()->selectedTab()) selected->reload();
}

}  // namespace zemblo
