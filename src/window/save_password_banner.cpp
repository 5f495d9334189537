#include "window/save_password_banner.h"

#include <algorithm>

#include "model/localization.h"
#include "model/password_offers.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/system_color_scheme.h"
#include "window/window_resources.h"

namespace zemblo {
namespace {

void setAccessibleLabel(Gtk::Widget& widget, const std::string& label) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 label.c_str(), -1);
}

}  // namespace

SavePasswordBanner::SavePasswordBanner(PasswordOffers& offers, const WindowModel& tabs,
                                       const PreferencesModel& preferences,
                                       const SystemColorScheme& scheme)
    : offers_(offers),
      tabs_(tabs),
      preferences_(preferences),
      scheme_(scheme),
      style_(Gtk::CssProvider::create()),
      presence_(*this, 0, [this] { presenceChanged(); }) {
  set_name("SavePasswordBanner");
  // An alert: screen readers read it out as it appears, while the focus stays in the page.
  setAccessibleRole(*this, Gtk::Accessible::Role::ALERT);
  set_visible(false);
  style_->load_from_data(resources::savePasswordBannerStyleSheet());
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), style_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);

  badge_.set_from_icon_name(symbolIconName("key.fill"));
  badge_.set_pixel_size(symbolPixelSize(14));
  badge_.set_size_request(kBadgeSize, kBadgeSize);
  badge_.set_valign(Gtk::Align::START);
  badge_.add_css_class("banner-badge");

  title_.add_css_class("banner-title");
  subtitle_.add_css_class("banner-subtitle");
  subtitle_.add_css_class("dim-label");
  subtitle_.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  subtitle_.set_single_line_mode(true);
  failure_.add_css_class("banner-failure");
  failure_.set_wrap(true);
  failure_.set_visible(false);
  for (Gtk::Label* label : {&title_, &subtitle_, &failure_}) label->set_xalign(0);

  never_.add_css_class("flat");
  never_.add_css_class("banner-never");
  never_.add_css_class("dim-label");
  save_.add_css_class("suggested-action");
  spacer_.set_hexpand(true);
  never_.signal_clicked().connect([this] { answer(&PasswordOffers::neverSave); });
  notNow_.signal_clicked().connect([this] { answer(&PasswordOffers::dismiss); });
  save_.signal_clicked().connect([this] { answer(&PasswordOffers::save); });
  buttons_.set_margin_top(8);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&never_, &spacer_, &notNow_, &save_}) {
    child->set_valign(Gtk::Align::CENTER);
    buttons_.append(*child);
  }

  text_.set_hexpand(true);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&title_, &subtitle_, &failure_, &buttons_}) {
    text_.append(*child);
  }
  row_.append(badge_);
  row_.append(text_);
  row_.set_margin(kPadding);
  row_.set_parent(*this);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SavePasswordBanner::~SavePasswordBanner() {
  observer_.reset();
  row_.unparent();
  Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), style_);
}

void SavePasswordBanner::sync() {
  preferences_.prefs();  // the texts follow the interface language
  palette_ = themeColors(preferences_, tabs_);
  const std::optional<PendingCredential>& offer = offers_.pending.get();
  const PendingSaveStatus status = offers_.status.get();
  if (offer) {
    showOffer(*offer, status);
    if (!get_visible()) {
      presence_.jumpTo(0);
      set_visible(true);
    }
    presence_.springTo(1, kSpring);
  } else {
    // The texts of the last offer stay while the card leaves.
    presence_.springTo(0, kSpring);
  }
  queue_draw();
}

void SavePasswordBanner::showOffer(const PendingCredential& offer, PendingSaveStatus status) {
  shown_ = offer;
  const std::string title =
      localized(offer.isUpdate ? "Şifre güncellensin mi?" : "Şifre kaydedilsin mi?");
  title_.set_text(title);
  setAccessibleLabel(*this, title);
  // The page keeps the focus and every Tab with it: the way in is said where it is seen.
  const std::string way = localized("Klavyeyle yanıtlamak için F6'ya bas");
  setTooltipText(*this, way);
  setAccessibleDescription(*this, way);
  subtitle_.set_text(offer.username.empty() ? offer.host : offer.username + " · " + offer.host);
  failure_.set_text(
      localized("Şifre anahtarlığa kaydedilemedi. Anahtarlık onayını ya da parolanı isterse ver, "
                "sonra tekrar dene."));
  failure_.set_visible(status == PendingSaveStatus::failed);
  never_.set_label(localized("Asla"));
  never_.set_tooltip_text(localized("Bu site için bir daha sorma"));
  notNow_.set_label(localized("Şimdi Değil"));
  save_.set_label(localized(offer.isUpdate ? "Güncelle" : "Kaydet"));
  // One answer at a time: the buttons wait while the keyring writes.
  setUsable(buttons_, status != PendingSaveStatus::saving);
}

void SavePasswordBanner::answer(void (PasswordOffers::*operation)(const PendingCredential&)) {
  if (shown_ && offers_.pending.peek()) (offers_.*operation)(*shown_);
}

void SavePasswordBanner::presenceChanged() {
  if (presence_.value() <= 0 && !offers_.pending.peek()) set_visible(false);
  queue_draw();
}

void SavePasswordBanner::measure_vfunc(Gtk::Orientation orientation, int, int& minimum,
                                       int& natural, int& minimum_baseline,
                                       int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  if (orientation == Gtk::Orientation::HORIZONTAL) {
    // A fixed width: a long subtitle is cut in the middle rather than widening the card.
    minimum = natural = kWidth;
    return;
  }
  int b1 = -1, b2 = -1;
  row_.measure(Gtk::Orientation::VERTICAL, kWidth, minimum, natural, b1, b2);
}

void SavePasswordBanner::size_allocate_vfunc(int width, int height, int baseline) {
  row_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
}

void SavePasswordBanner::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double shown = std::clamp(presence_.value(), 0.0, 1.0);
  const double width = get_width();
  const double height = get_height();
  gtk_snapshot_save(s);
  // In from above the page's top edge, where the card's corners clip it.
  const graphene_point_t offset = GRAPHENE_POINT_INIT(0, float(-(1 - shown) * (height + 24)));
  gtk_snapshot_translate(s, &offset);
  gtk_snapshot_push_opacity(s, shown);

  static const paint::Glass kGlass{.shadowOpacity = 0.18,
                                   .shadowOffset = 8,
                                   .shadowBlur = 20,
                                   .lightFillOpacity = 0.94f,
                                   .darkFillOpacity = 0.94f,
                                   .edgeWidth = 0.5,
                                   .lightEdge = paint::grey(0, 0.1),
                                   .darkEdge = paint::grey(1, 0.1)};
  paint::appendGlass(s, *this, paint::roundedRect(paint::rect(0, 0, width, height), kCornerRadius),
                     kGlass, scheme_.get());

  graphene_rect_t badge;
  if (gtk_widget_compute_bounds(GTK_WIDGET(badge_.gobj()), GTK_WIDGET(gobj()), &badge)) {
    const GskRoundedRect circle = paint::roundedRect(badge, badge.size.width / 2);
    const GdkRGBA glow = paint::rgba(palette_.primary, 0.4);
    gtk_snapshot_append_outset_shadow(s, &circle, &glow, 0, 2, 0, 6);
    gtk_snapshot_push_rounded_clip(s, &circle);
    paint::appendLinearGradient(s, badge,
                                gradient(palette_.direction, palette_.primary, palette_.secondary));
    gtk_snapshot_pop(s);
  }
  snapshot_child(row_, snapshot);
  gtk_snapshot_pop(s);
  gtk_snapshot_restore(s);
}

}  // namespace zemblo
