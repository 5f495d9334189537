#include "sidebar/shield_button.h"

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/theme_colors.h"
#include "sidebar/ad_block_popover.h"
#include "sidebar/sidebar_context.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/popover_keys.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"
#include "widgets/tooltip_guard.h"

namespace zemblo {
namespace {

constexpr double kSymbolPointSize = 11;
constexpr double kSecondaryOpacity = 0.55;

}  // namespace

ShieldButton::ShieldButton(const SidebarContext& context) : context_(context) {
  set_name("ShieldButton");
  set_focus_on_click(false);
  set_valign(Gtk::Align::CENTER);
  signal_clicked().connect([this] { toggle(); });

  popover_.set_parent(*this);
  popover_.set_position(Gtk::PositionType::BOTTOM);
  popover_.add_css_class("adblock");
  popover_.signal_closed().connect([this] { showing_ = false; });
  hideTooltipWhileOpen(*this, popover_);
  pointerReturn_.watch(popover_);
  setUpPopoverKeys(popover_);
  groupToolkitParts(popover_);
  // Opened with the pointer, the popover itself holds the keyboard and is announced.
  setAccessibleName(popover_, localized("Reklam Engelleyici"));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ShieldButton::~ShieldButton() {
  observer_.reset();
  popover_.unparent();
}

void ShieldButton::setTab(std::shared_ptr<BrowserTab> tab) {
  if (tab == tab_) return;
  tab_ = std::move(tab);
  if (content_) content_->setTab(tab_);
  observer_->syncNow();
}

void ShieldButton::toggle() {
  if (showing_) {
    popover_.popdown();
    return;
  }
  if (!content_) {
    content_ = std::make_unique<AdBlockPopover>(context_.pageServices, context_.tabs,
                                                context_.preferences, tab_);
    popover_.set_child(*content_);
  }
  showing_ = true;
  // The button takes no focus from a click: focused, it was pressed from the keyboard.
  popupFor(popover_, !has_focus());
}

void ShieldButton::sync() {
  look_ = shieldLook(context_.pageServices.adBlocker(), tab_ ? tab_->url.get() : std::nullopt);
  const Palette palette = themeColors(context_.preferences, context_.tabs);
  gradient_ = gradient(palette.direction, palette.primary, palette.secondary);
  scheme_ = context_.scheme();
  setHelpText(*this, look_.help);
  queue_draw();
}

void ShieldButton::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                 int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = kSize;
  minimum_baseline = natural_baseline = -1;
}

void ShieldButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const int pixels = symbolPixelSize(kSymbolPointSize);
  const double x = (get_width() - pixels) / 2.0;
  const double y = (get_height() - pixels) / 2.0;
  const graphene_rect_t box = paint::rect(x, y, pixels, pixels);
  if (look_.blocking) {
    appendGradientSymbol(s, *this, look_.symbol, pixels, box, gradient_);
  } else {
    appendSymbol(s, *this, look_.symbol, pixels, box,
                 SidebarContext::primary(scheme_, kSecondaryOpacity));
  }
}

}  // namespace zemblo
