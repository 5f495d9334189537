#include "sidebar/address_pill.h"

#include <algorithm>
#include <cmath>

#include "model/browser_tab.h"
#include "model/command_bar_mode.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/keyboard_focus.h"
#include "sidebar/sidebar_context.h"
#include "widgets/accessibility.h"
#include "widgets/css_class.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kHoverSeconds = 0.15;
constexpr double kRestingFill = 0.06;
constexpr double kHoverFill = 0.09;
constexpr double kSymbolPointSize = 11;
constexpr double kSecondaryOpacity = 0.55;

}  // namespace

AddressPill::AddressPill(const SidebarContext& context)
    : context_(context),
      shield_(context),
      reload_(context, nullptr),
      fill_(*this, kRestingFill, [this] { queue_draw(); }),
      copyPresence_(*this, 0, [this] { copyPresenceChanged(); }) {
  set_name("AddressPill");
  setAccessibleRole(*this, Gtk::Accessible::Role::BUTTON);
  set_layout_manager(Gtk::BinLayout::create());
  set_size_request(-1, kHeight);

  for (Gtk::Image* image : {&icon_, &markIcon_}) {
    image->set_name("AddressPillSymbol");
    presentAsDecoration(*image);
    image->set_pixel_size(symbolPixelSize(kSymbolPointSize));
    image->set_size_request(14, -1);
    image->set_opacity(kSecondaryOpacity);
  }
  setUpSecurityMark();
  setUpZoomButton();
  label_.set_name("AddressPillHost");
  label_.add_css_class("pill-host");
  label_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  label_.set_single_line_mode(true);
  label_.set_xalign(0);
  label_.set_hexpand(true);

  copyButton_.add_css_class("copy-link");
  copyButton_.set_focus_on_click(false);
  copyButton_.set_valign(Gtk::Align::CENTER);
  copyImage_.set_pixel_size(symbolPixelSize(kSymbolPointSize));
  copyImage_.set_from_icon_name(symbolIconName("link"));
  copyButton_.set_child(copyImage_);
  copyButton_.set_visible(false);
  copyButton_.set_opacity(0);
  copyButton_.signal_clicked().connect([this] { copyLink(); });
  shield_.set_visible(false);

  row_.set_margin_start(12);
  row_.set_margin_end(5);
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           &icon_, &mark_, &label_, &zoomButton_, &shield_, &copyButton_, &reload_}) {
    child->set_valign(Gtk::Align::CENTER);
    row_.append(*child);
  }
  row_.set_parent(*this);

  addTapAndHover(
      *this, [this] { tap(); }, [this](bool hovering) { setHovering(hovering); });
  set_focusable(true);
  activateWithKeys(*this, [this] { tap(); });

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

// The mark's popover says in words what the mark shows.
void AddressPill::setUpSecurityMark() {
  mark_.set_name("SecurityMark");
  mark_.add_css_class("flat");
  mark_.add_css_class("security-mark");
  mark_.set_focus_on_click(false);
  mark_.set_child(markIcon_);
  mark_.signal_clicked().connect([this] { showSecurityMark(); });
  securityHeading_.add_css_class("heading");
  securityDetail_.set_wrap(true);
  securityDetail_.set_max_width_chars(34);
  securityFaults_.set_wrap(true);
  securityFaults_.set_max_width_chars(34);
  for (Gtk::Label* line : {&securityHeading_, &securityDetail_, &securityFaults_}) {
    line->set_xalign(0);
    securityColumn_.append(*line);
  }
  securityCertificate_.set_name("SecurityCertificate");
  securityCertificate_.set_column_spacing(10);
  securityCertificate_.set_row_spacing(4);
  securityCertificate_.set_margin_top(4);
  securityColumn_.append(securityCertificate_);
  securityColumn_.set_margin(10);
  securityPopover_.set_child(securityColumn_);
  securityPopover_.set_position(Gtk::PositionType::BOTTOM);
  securityPopover_.set_parent(mark_);
}

void AddressPill::setUpZoomButton() {
  zoomButton_.set_name("AddressPillZoom");
  zoomButton_.add_css_class("flat");
  zoomButton_.add_css_class("pill-zoom");
  zoomButton_.set_focus_on_click(false);
  zoomButton_.set_visible(false);
  zoomButton_.signal_clicked().connect([this] {
    if (const auto tab = context_.tabs.currentSpace()->selectedTab()) tab->resetZoom();
  });
}

void AddressPill::syncZoom(BrowserTab* tab) {
  // Told only while it is not the zoom every page has, which is all a click can give back.
  const double level = tab ? tab->zoom.get() : 1;
  const double usual = context_.preferences.prefs().defaultZoom;
  // A tab without its view yet has been shown at no zoom at all.
  const bool zoomed =
      tab && tab->storedWebView() && !tab->showsStartPage() && std::abs(level - usual) > 0.005;
  zoomButton_.set_visible(zoomed);
  if (!zoomed) return;
  const std::string percent = percentText(level);
  zoomButton_.set_label(percent);
  setHelpText(zoomButton_, withArgument(localized("Yakınlaştırma: %@. Sıfırla (Ctrl+0)"), percent));
}

AddressPill::~AddressPill() {
  observer_.reset();
  copyResets_.clear();
  securityPopover_.unparent();
  row_.unparent();
}

void AddressPill::sync() {
  const auto tab = context_.tabs.currentSpace()->selectedTab();
  look_ = addressPillLook(tab.get());
  copyURL_ = tab ? tab->shownURL() : std::nullopt;
  scheme_ = context_.scheme();

  // Without a state to tell there is only a picture, and a click on it goes to the pill.
  const auto& security = look_.securityMark;
  icon_.set_visible(!security);
  mark_.set_visible(security.has_value());
  leadingIcon().set_from_icon_name(symbolIconName(look_.symbol));
  if (security) setHelpText(mark_, security->name);
  const bool warns = security && security->symbol == "exclamationmark.triangle.fill";
  setCssClass(mark_, "warning", warns);
  markIcon_.set_opacity(warns ? 1 : kSecondaryOpacity);
  if (security) {
    securityHeading_.set_text(security->heading);
    securityDetail_.set_text(security->detail);
    showCertificate(*security);
  } else {
    securityPopover_.popdown();
  }
  label_.set_text(look_.text);
  label_.set_opacity(look_.hasAddress ? 1 : kSecondaryOpacity);
  if (!look_.showsShield) shield_.popover().popdown();
  shield_.set_visible(look_.showsShield);
  shield_.setTab(look_.showsShield ? tab : nullptr);
  syncZoom(tab.get());
  reload_.set_visible(look_.showsReloadButton);
  reload_.setTab(look_.showsReloadButton ? tab : nullptr);
  setHelpText(copyButton_, localized("Bağlantıyı kopyala"));
  setAccessibleName(*this, look_.text);
  showCopyButton(hovering_ && look_.offersCopyLink);
  queue_draw();
}

void AddressPill::showCertificate(const SecurityMarkLook& security) {
  securityFaults_.set_visible(!security.faults.empty());
  securityFaults_.set_text(security.faults);
  securityCertificate_.set_visible(!security.certificate.empty());
  // The pill follows every change of the tab, its load's progress too; the rows stay as they are
  // while they tell the same, so that a selection in them lasts.
  if (security.certificate == certificateShown_) return;
  certificateShown_ = security.certificate;
  while (Gtk::Widget* cell = securityCertificate_.get_first_child()) {
    securityCertificate_.remove(*cell);
  }
  int row = 0;
  for (const auto& [name, value] : security.certificate) {
    auto* key = Gtk::make_managed<Gtk::Label>(name);
    key->set_xalign(0);
    key->set_valign(Gtk::Align::START);
    key->add_css_class("dim-label");
    // The certificate's own words, as text and never as markup.
    auto* text = Gtk::make_managed<Gtk::Label>(value);
    text->set_xalign(0);
    text->set_wrap(true);
    text->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    text->set_max_width_chars(28);
    text->set_selectable(true);
    securityCertificate_.attach(*key, 0, row);
    securityCertificate_.attach(*text, 1, row++);
  }
}

void AddressPill::showSecurityMark() {
  if (look_.securityMark) securityPopover_.popup();
}

void AddressPill::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  fill_.easeTo(hovering_ ? kHoverFill : kRestingFill, kHoverSeconds, Ease::out);
  showCopyButton(hovering_ && look_.offersCopyLink);
}

void AddressPill::tap() {
  if (context_.tabs.commandBar.peek() == CommandBarMode::currentTab) return;
  context_.tabs.commandBar.set(CommandBarMode::currentTab);
}

void AddressPill::copyLink() {
  // The address as the pill last showed it.
  if (!copyURL_) return;
  get_clipboard()->set_text(copyURL_->str());
  setCopied(true);
  std::erase_if(copyResets_, [](const auto& task) { return task->finished(); });
  // Each copy ends the check mark 1.4 s later, whatever copies came after it.
  copyResets_.push_back(context_.scheduler.after(kCopiedDuration, [this] { setCopied(false); }));
}

void AddressPill::setCopied(bool copied) {
  copied_ = copied;
  copyImage_.set_from_icon_name(symbolIconName(copied_ ? "checkmark" : "link"));
}

void AddressPill::showCopyButton(bool shown) {
  if (shown) copyButton_.set_visible(true);
  copyPresence_.easeTo(shown ? 1 : 0, kHoverSeconds, Ease::out);
  copyPresenceChanged();
}

void AddressPill::copyPresenceChanged() {
  const double presence = std::clamp(copyPresence_.value(), 0.0, 1.0);
  copyButton_.set_opacity(presence);
  // It leaves the row once it has faded out.
  if (presence <= 0 && copyPresence_.target() <= 0) copyButton_.set_visible(false);
}

void AddressPill::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
  const GdkRGBA fill = SidebarContext::primary(scheme_, fill_.value());
  paint::appendRoundedFill(s, shape, fill);
  snapshot_child(row_, snapshot);
}

}  // namespace zemblo
