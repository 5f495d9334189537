#include "settings/panes/colors_pane.h"

#include "model/color_settings.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/pref_controls.h"
#include "settings/kit/row_parts.h"
#include "settings/kit/segmented_row.h"
#include "settings/previews/color_source_thumb.h"
#include "settings/previews/interface_preview.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr int kGridPadding = 14;
constexpr int kGridSpacing = 10;
constexpr int kColumnSpacing = 8;
constexpr int kRowSpacing = 10;
constexpr int kPresetCaptionGap = 6;
constexpr int kTintWidth = 270;
constexpr int kMaterialWidth = 180;
constexpr int kTextStyleWidth = 270;
constexpr int kSelectedTabWidth = 170;
constexpr SliderRow::Range kFractionRange{0, 1, std::nullopt};

LinearGradient solid(const Color& color) {
  return {color, color, UnitPoint::topLeading(), UnitPoint::bottomTrailing()};
}

LinearGradient diagonal(const std::string& a, const std::string& b) {
  return {Color::fromHex(a), Color::fromHex(b), UnitPoint::topLeading(),
          UnitPoint::bottomTrailing()};
}

Gtk::Label* caption(const std::string& text) {
  auto* label = Gtk::make_managed<Gtk::Label>(text);
  label->set_xalign(0);
  label->add_css_class("settings-caption");
  label->add_css_class("settings-secondary");
  return label;
}

Gtk::Grid* swatchRows() {
  auto* grid = Gtk::make_managed<Gtk::Grid>();
  grid->set_column_homogeneous(true);
  grid->set_column_spacing(kColumnSpacing);
  grid->set_row_spacing(kRowSpacing);
  return grid;
}

Gdk::RGBA pickerColor(const std::string& hex) {
  const Color color = Color::fromHex(hex);
  return Gdk::RGBA(float(color.r), float(color.g), float(color.b));
}

std::string hexOf(const Gdk::RGBA& picked) {
  return Color{picked.get_red(), picked.get_green(), picked.get_blue()}.hexString();
}

// A colour picker that writes a colour setting as "#RRGGBB" when the user picks a colour.
void bindPicker(Gtk::ColorButton& picker, PreferencesModel& preferences,
                std::string AppPreferences::*field, const std::string& name) {
  picker.set_use_alpha(false);
  picker.set_title(name);
  setAccessibleNameWithInnerButton(picker, name);
  picker.signal_color_set().connect([&picker, &preferences, field] {
    prefBinding(preferences, field).set(hexOf(picker.get_rgba()));
  });
}

}  // namespace

ColorsPane::ColorsPane(const SettingsContext& context)
    : PaneBody(SettingsPane::colors),
      context_(context),
      harmonize_(localized("Uyumlu renk")),
      shuffle_(localized("Karıştır")) {
  append(*Gtk::make_managed<InterfacePreview>(context));
  auto& source = addSection(localized("Renk kaynağı"));
  pref_controls::addCards(source, context, &AppPreferences::colorSource,
                          [&context](ColorSource option) {
                            return Gtk::make_managed<ColorSourceThumb>(context, option);
                          });
  buildThemeSection();
  buildStyleSection();
  buildReadabilitySection();

  auto* face = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  auto* icon = Gtk::make_managed<Gtk::Image>();
  icon->set_from_icon_name(symbolIconName("arrow.counterclockwise"));
  hideFromScreenReaders(*icon);
  face->append(*icon);
  face->append(*Gtk::make_managed<Gtk::Label>(localized("Renkleri sıfırla")));
  reset_.set_child(*face);
  reset_.set_has_frame(false);
  reset_.add_css_class("settings-link");
  reset_.set_halign(Gtk::Align::START);
  setAccessibleName(reset_, localized("Renkleri sıfırla"));
  reset_.signal_clicked().connect([this] { color_settings::resetColors(context_.preferences()); });
  append(reset_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ColorsPane::~ColorsPane() { observer_.reset(); }

void ColorsPane::buildThemeSection() {
  PreferencesModel& preferences = context_.preferences();
  themeSection_ = &addSection(localized("Tema rengi"),
                              localized("Tüm tarayıcı bu renge bürünür. Alanların kendi renkleri "
                                        "yalnızca alan düğmelerinde görünür."));
  themeSection_->addRow(swatchGrid());

  auto& main = themeSection_->add<SettingsRow>(localized("Ana renk"), std::nullopt, "circle.fill");
  bindPicker(colorA_, preferences, &AppPreferences::customColorA, localized("Ana renk"));
  main.setAccessory(colorA_);

  auto& second = themeSection_->add<SettingsRow>(
      localized("İkinci renk"), localized("Renk geçişinin bitiş rengi"), "circle.lefthalf.filled");
  auto* controls = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 10);
  harmonize_.add_css_class("settings-small");
  harmonize_.set_valign(Gtk::Align::CENTER);
  harmonize_.signal_clicked().connect([&preferences] { color_settings::harmonize(preferences); });
  bindPicker(colorB_, preferences, &AppPreferences::customColorB, localized("İkinci renk"));
  controls->append(harmonize_);
  controls->append(colorB_);
  second.setAccessory(*controls, false);

  auto& lucky = themeSection_->add<SettingsRow>(
      localized("Şansını dene"), localized("Rastgele uyumlu bir renk seçer"), "shuffle");
  shuffle_.signal_clicked().connect([&preferences] { color_settings::shuffle(preferences); });
  lucky.setAccessory(shuffle_, false);
}

Gtk::Widget& ColorsPane::swatchGrid() {
  PreferencesModel& preferences = context_.preferences();
  auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kGridSpacing);
  row_parts::pad(*box, kGridPadding, kGridPadding);

  box->append(*caption(localized("Renkler")));
  auto* colors = swatchRows();
  for (size_t i = 0; i < kSwatchColors.size(); ++i) {
    const std::string hex = kSwatchColors[i];
    const Color color = Color::fromHex(hex);
    const std::string name = localized(kSwatchNames[i]);
    swatches_.push_back(Gtk::make_managed<ThemeSwatch>(
        solid(color), color, name,
        [&preferences, hex] { color_settings::pickSwatch(preferences, hex); }));
    swatches_.back()->set_tooltip_text(name);
    colors->attach(*swatches_.back(), int(i) % kGridColumns, int(i) / kGridColumns);
  }
  box->append(*colors);

  auto* presetsCaption = caption(localized("Hazır geçişler"));
  presetsCaption->set_margin_top(kPresetCaptionGap);
  box->append(*presetsCaption);
  auto* gradients = swatchRows();
  const auto presets = SpacePreset::all();
  for (size_t i = 0; i < presets.size(); ++i) {
    const SpacePreset& preset = presets[i];
    auto* swatch = Gtk::make_managed<ThemeSwatch>(
        diagonal(preset.colorA, preset.colorB), Color::fromHex(preset.colorA),
        preset.localizedName(),
        [&preferences, &preset] { color_settings::pickPreset(preferences, preset); });
    swatch->set_tooltip_text(preset.localizedName());
    presets_.push_back(swatch);
    gradients->attach(*swatch, int(i) % kGridColumns, int(i) / kGridColumns);
  }
  box->append(*gradients);
  return *box;
}

void ColorsPane::buildStyleSection() {
  PreferencesModel& preferences = context_.preferences();
  auto& style = addSection(localized("Görünüm biçimi"));
  pref_controls::addSegments(style, preferences, localized("Stil"), std::nullopt,
                             "paintbrush.pointed", &AppPreferences::sidebarTint, kTintWidth);
  directionRow_ = &style.add<SettingsRow>(localized("Yön"), std::nullopt,
                                          "arrow.up.and.down.and.arrow.left.and.right");
  auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
  for (GradientDirection direction : allCases<GradientDirection>()) {
    auto* button = Gtk::make_managed<DirectionButton>(direction);
    button->signal_clicked().connect([&preferences, direction] {
      prefBinding(preferences, &AppPreferences::gradientDirection).set(direction);
    });
    directions_.push_back(button);
    buttons->append(*button);
  }
  directionRow_->setAccessory(*buttons, false);
  strength_ = &style.add<SliderRow>(
      localized("Renk yoğunluğu"), localized("En yüksekte kenar çubuğu tamamen renge bürünür"),
      "drop.halffull", prefBinding(preferences, &AppPreferences::colorStrength), kFractionRange,
      [](double value) { return percentText(value); });
  style.add<SliderRow>(localized("Doku"), localized("Arka plana hafif bir film greni ekler"),
                       "circle.dotted", prefBinding(preferences, &AppPreferences::grain),
                       kFractionRange, grainText);
  pref_controls::addSegments(style, preferences, localized("Malzeme"),
                             localized("Buzlu cam masaüstünü hafifçe gösterir"), "square.on.square",
                             &AppPreferences::sidebarMaterial, kMaterialWidth);
}

void ColorsPane::buildReadabilitySection() {
  PreferencesModel& preferences = context_.preferences();
  auto& readability = addSection(localized("Okunabilirlik"));
  pref_controls::addSegments(readability, preferences, localized("Kenar çubuğu yazıları"),
                             localized("Otomatik: renk koyulaşınca yazılar beyaza döner"),
                             "textformat", &AppPreferences::sidebarTextStyle, kTextStyleWidth);
  pref_controls::addSegments(readability, preferences, localized("Seçili sekme"), std::nullopt,
                             "rectangle.fill", &AppPreferences::selectedTabStyle,
                             kSelectedTabWidth);
}

void ColorsPane::sync() {
  const AppPreferences& prefs = context_.preferences().prefs();
  const Palette palette = themeColors(context_.preferences(), context_.tabs());
  themeSection_->set_visible(prefs.colorSource == ColorSource::custom);
  // Exact text: a colour stored in lower case selects no swatch.
  for (size_t i = 0; i < swatches_.size(); ++i) {
    swatches_[i]->setSelected(prefs.customColorA == kSwatchColors[i]);
  }
  const auto presets = SpacePreset::all();
  for (size_t i = 0; i < presets_.size(); ++i) {
    presets_[i]->setSelected(prefs.customColorA == presets[i].colorA &&
                             prefs.customColorB == presets[i].colorB);
  }
  colorA_.set_rgba(pickerColor(prefs.customColorA));
  colorB_.set_rgba(pickerColor(prefs.customColorB));
  directionRow_->set_visible(prefs.sidebarTint == SidebarTint::gradient);
  for (DirectionButton* button : directions_) {
    button->show(palette, button->direction() == prefs.gradientDirection);
  }
  pref_controls::setAvailable(*strength_, prefs.sidebarTint != SidebarTint::none);
}

std::string ColorsPane::grainText(double grain) {
  return grain == 0 ? localized("Kapalı") : percentText(grain);
}

}  // namespace zemblo
