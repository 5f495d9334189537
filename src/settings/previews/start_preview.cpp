#include "settings/previews/start_preview.h"

#include "widgets/accessibility.h"

#include <algorithm>

#include "model/clock_greeting_rules.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "settings/previews/label_font.h"
#include "settings/settings_resources.h"
#include "widgets/favicon_view.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kSecondaryOpacity = 0.55;

}  // namespace

StartPreview::StartPreview(const SettingsContext& context)
    : context_(context), capsule_(220, 24, 12) {
  set_name("StartPreview");
  set_layout_manager(Gtk::BinLayout::create());
  set_size_request(-1, kHeight);
  set_hexpand(true);
  // A picture only: clicks and hovering pass through it.
  set_can_target(false);
  set_can_focus(false);
  background_.set_parent(*this);
  background_.signalPictureChanged().connect([this] { followPicture(); });
  column_.set_halign(Gtk::Align::CENTER);
  column_.set_valign(Gtk::Align::CENTER);
  column_.set_parent(*this);
  // Texts, the glass and the icons all take the column's colour.
  auto light = Gtk::CssProvider::create();
  light->load_from_data(resources::startPreviewStyleSheet());
  column_.get_style_context()->add_provider(light, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  date_.set_name("PreviewDate");
  time_.set_name("PreviewTime");
  greeting_.set_name("PreviewGreeting");
  for (Gtk::Label* label : {&date_, &time_, &greeting_}) {
    label->set_justify(Gtk::Justification::CENTER);
    column_.append(*label);
  }
  setLabelFont(date_, {9, Pango::Weight::SEMIBOLD, 0.8, true});
  setLabelFont(time_, {44, Pango::Weight::THIN, 0, true});
  setLabelFont(greeting_, {12, Pango::Weight::MEDIUM});
  date_.set_opacity(kSecondaryOpacity);
  greeting_.set_opacity(kSecondaryOpacity);
  magnifier_.set_from_icon_name(symbolIconName("magnifyingglass"));
  magnifier_.set_pixel_size(symbolPixelSize(9));
  magnifier_.set_opacity(kSecondaryOpacity);
  magnifier_.set_margin_start(10);
  magnifier_.set_valign(Gtk::Align::CENTER);
  capsule_.append(magnifier_);
  capsule_.set_margin_top(8);
  column_.append(capsule_);
  favorites_.set_name("PreviewFavorites");
  favorites_.set_halign(Gtk::Align::CENTER);
  favorites_.set_margin_top(6);
  // Keeps its room while empty, as the start page's row does.
  favorites_.set_size_request(-1, 24);
  column_.append(favorites_);
  followPicture();
  presentAsImage(*this, localized("Başlangıç sayfası önizlemesi"));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

StartPreview::~StartPreview() {
  observer_.reset();
  background_.unparent();
  column_.unparent();
}

std::string StartPreview::greetingText(std::string_view name) {
  std::string text = localized("Günaydın");
  if (!name.empty()) text.append(", ").append(name);
  return text;
}

void StartPreview::sync() {
  const AppPreferences& prefs = context_.preferences().prefs();
  background_.update(themeColors(context_.preferences(), context_.tabs()), prefs,
                     context_.scheme());
  // The moment of this change; the start page's own formats, so the two always agree.
  const LocalTime now = localTimeNow();
  date_.set_visible(prefs.showDate);
  time_.set_visible(prefs.showClock);
  greeting_.set_visible(prefs.showGreeting);
  date_.set_text(dateLineText(now, L10n::isEnglish()));
  time_.set_text(clockText(now.hour, now.minute, prefs.use24Hour));
  greeting_.set_text(greetingText(prefs.effectiveGreetingName()));
  favorites_.set_visible(prefs.showStartFavorites);
  const auto& favorites = context_.favorites().list.get();
  const std::vector<Favorite> first(
      favorites.begin(),
      favorites.begin() + std::ptrdiff_t(std::min(favorites.size(), kMaximumFavorites)));
  if (first != shownFavorites_) showFavorites(first);
  followPicture();
}

void StartPreview::followPicture() {
  if (background_.showsPicture()) {
    column_.add_css_class("light-on-picture");
  } else {
    column_.remove_css_class("light-on-picture");
  }
}

void StartPreview::showFavorites(const std::vector<Favorite>& favorites) {
  shownFavorites_ = favorites;
  while (Gtk::Widget* child = favorites_.get_first_child()) favorites_.remove(*child);
  for (const Favorite& favorite : favorites) {
    auto* tile = Gtk::make_managed<PreviewGlass>(24, 24, 7);
    auto* icon = Gtk::make_managed<FaviconView>(context_.favicons(), 12);
    icon->set(favorite.faviconURL, favorite.url.host(), 12);
    icon->set_hexpand(true);
    icon->set_halign(Gtk::Align::CENTER);
    icon->set_valign(Gtk::Align::CENTER);
    tile->append(*icon);
    favorites_.append(*tile);
  }
}

void StartPreview::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const GskRoundedRect frame =
      paint::roundedRect(paint::rect(0, 0, get_width(), get_height()), kCornerRadius);
  const GdkRGBA shadow = paint::grey(0, 0.16);
  gtk_snapshot_append_outset_shadow(s, &frame, &shadow, 0, 8, 0, 16);
  gtk_snapshot_push_rounded_clip(s, &frame);
  snapshot_child(background_, snapshot);
  snapshot_child(column_, snapshot);
  gtk_snapshot_pop(s);
  GdkRGBA edge = paint::foreground(*this);
  edge.alpha = 0.12f;
  paint::appendInsideBorder(s, frame, 0.5, edge);
}

}  // namespace zemblo
