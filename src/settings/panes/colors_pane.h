#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/direction_button.h"
#include "settings/kit/pane_body.h"
#include "settings/kit/settings_row.h"
#include "settings/kit/slider_row.h"
#include "settings/kit/theme_swatch.h"
#include "settings/settings_context.h"

namespace zemblo {

// Where the browser's colours come from, the two colours of a single theme with ready-made
// swatches and gradients, and how strongly and in what style the sidebar takes them on, under
// the live preview. Every control writes its one setting at once.
class ColorsPane : public PaneBody {
 public:
  static constexpr std::array<const char*, 18> kSwatchColors{
      "#FF3B30", "#FF9500", "#FFCC00", "#34C759", "#00C7BE", "#30B0C7",
      "#007AFF", "#5856D6", "#AF52DE", "#FF2D55", "#A2845E", "#8E8E93",
      "#1C1C1E", "#F2F2F7", "#F3E5C8", "#0B3D2E", "#14213D", "#7F1D1D"};
  // What a screen reader and the tooltip call each swatch, in the same order.
  static constexpr std::array<const char*, 18> kSwatchNames{
      "Kırmızı", "Turuncu", "Sarı", "Yeşil",      "Turkuaz",    "Camgöbeği",
      "Mavi",    "Çivit",   "Mor",  "Pembe",      "Kahverengi", "Gri",
      "Siyah",   "Beyaz",   "Krem", "Koyu yeşil", "Lacivert",   "Bordo"};
  static constexpr int kGridColumns = 9;
  static constexpr Spring kActionSpring{0.5, 1.0};

  explicit ColorsPane(const SettingsContext& context);
  ~ColorsPane() override;

  // "Off" for no grain at all, else the percentage.
  static std::string grainText(double grain);

 private:
  void buildThemeSection();
  void buildStyleSection();
  void buildReadabilitySection();
  Gtk::Widget& swatchGrid();
  void sync();

  const SettingsContext& context_;
  SettingsSection* themeSection_ = nullptr;
  std::vector<ThemeSwatch*> swatches_;
  std::vector<ThemeSwatch*> presets_;
  Gtk::ColorButton colorA_;
  Gtk::ColorButton colorB_;
  Gtk::Button harmonize_;
  Gtk::Button shuffle_;
  SettingsRow* directionRow_ = nullptr;
  std::vector<DirectionButton*> directions_;
  SliderRow* strength_ = nullptr;
  Gtk::Button reset_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
