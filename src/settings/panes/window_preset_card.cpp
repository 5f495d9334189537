#include "settings/panes/window_preset_card.h"

#include <array>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "settings/kit/binding.h"
#include "settings/kit/row_parts.h"
#include "settings/previews/layout_rect.h"
#include "settings/previews/settings_paint.h"
#include "widgets/accessibility.h"

namespace zemblo {
namespace {

constexpr double kClipRadius = 10;
constexpr double kGradientOpacity = 0.35;
constexpr double kScale = 0.45;       // of the radius, for the miniature card
constexpr double kMarginScale = 0.6;  // of the margin
constexpr double kLeadingStrip = 22;  // the sidebar's place, always showing the gradient
constexpr double kShadowOpacity = 0.2;
constexpr double kShadowBlur = 4;
constexpr double kShadowY = 2;
constexpr double kMarkedOutline = 2.5;
constexpr double kRestingOutline = 0.5;
constexpr double kRestingOutlineOpacity = 0.1;

const std::array<WindowPreset, 3> kPresets{{
    {"Kenarsız", 0, 0, false},
    {"Yumuşak", 12, 8, true},
    {"Yüzen", 20, 14, true},
}};

}  // namespace

bool WindowPreset::matches(const AppPreferences& prefs) const {
  return prefs.cornerRadius == cornerRadius && prefs.contentInset == contentInset &&
         prefs.contentShadow == contentShadow;
}

void WindowPreset::apply(PreferencesModel& preferences) const {
  prefBinding(preferences, &AppPreferences::cornerRadius).set(cornerRadius);
  prefBinding(preferences, &AppPreferences::contentInset).set(contentInset);
  prefBinding(preferences, &AppPreferences::contentShadow).set(contentShadow);
}

std::span<const WindowPreset> WindowPreset::all() { return kPresets; }

// The content card of the preset, drawn small over the theme gradient.
class WindowPresetCard::Miniature : public Gtk::Widget {
 public:
  explicit Miniature(const WindowPreset& preset) : preset_(preset) {
    set_can_target(false);
    set_hexpand(true);
  }

  void show(const Palette& palette, ColorScheme scheme, bool marked) {
    palette_ = palette;
    scheme_ = scheme;
    marked_ = marked;
    queue_draw();
  }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override {
    minimum = natural = orientation == Gtk::Orientation::VERTICAL ? kMiniatureHeight : 0;
    minimum_baseline = natural_baseline = -1;
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    GtkSnapshot* s = snapshot->gobj();
    const double width = get_width(), height = get_height();
    const graphene_rect_t bounds = paint::rect(0, 0, width, height);
    const GskRoundedRect outline = paint::roundedRect(bounds, kClipRadius);
    gtk_snapshot_push_rounded_clip(s, &outline);
    paint::appendLinearGradient(s, bounds,
                                gradient(palette_.direction, palette_.primary, palette_.secondary),
                                kGradientOpacity);
    const double margin = preset_.contentInset * kMarginScale;
    const LayoutRect card{kLeadingStrip, margin, width - kLeadingStrip - margin,
                          height - 2 * margin};
    const GskRoundedRect cardOutline =
        paint::roundedRect(card.graphene(), preset_.cornerRadius * kScale);
    if (preset_.contentShadow) {
      const GdkRGBA shadow = paint::grey(0, kShadowOpacity);
      gtk_snapshot_append_outset_shadow(s, &cardOutline, &shadow, 0, kShadowY, 0, kShadowBlur);
    }
    const GdkRGBA page = paint::styleColor(*this, "view_bg_color",
                                           paint::grey(scheme_ == ColorScheme::dark ? 0.12 : 1));
    paint::appendRoundedFill(s, cardOutline, page);
    gtk_snapshot_pop(s);
    if (marked_) {
      paint::appendInsideBorder(s, outline, kMarkedOutline, paint::rgba(palette_.primary));
    } else {
      paint::appendInsideBorder(s, outline, kRestingOutline,
                                settings_paint::primary(scheme_, kRestingOutlineOpacity));
    }
  }

 private:
  const WindowPreset& preset_;
  Palette palette_;
  ColorScheme scheme_ = ColorScheme::light;
  bool marked_ = false;
};

WindowPresetCard::WindowPresetCard(const SettingsContext& context, const WindowPreset& preset)
    : context_(context), preset_(preset), name_(localized(preset.name)) {
  set_name("WindowPresetCard");
  add_css_class("settings-card-button");
  set_has_frame(false);
  set_focus_on_click(false);
  set_hexpand(true);
  miniature_ = Gtk::make_managed<Miniature>(preset);
  name_.add_css_class("settings-card-title");
  face_.append(*miniature_);
  face_.append(name_);
  set_child(face_);
  setAccessibleName(*this, name_.get_text());
  presentAsImage(*miniature_, name_.get_text());
  signal_clicked().connect([this] { preset_.apply(context_.preferences()); });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

WindowPresetCard::~WindowPresetCard() { observer_.reset(); }

void WindowPresetCard::sync() {
  const bool marked = preset_.matches(context_.preferences().prefs());
  miniature_->show(themeColors(context_.preferences(), context_.tabs()), context_.scheme(), marked);
  setAccessiblePressed(*this, marked);
  row_parts::showChosen(name_, marked);
}

}  // namespace zemblo
