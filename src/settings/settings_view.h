#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/app_language.h"
#include "platform/observable.h"
#include "settings/settings_context.h"
#include "settings/settings_pane.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

class FaviconLoader;
class SettingsSidebar;
class SettingsStyle;

// The settings window: the pane list beside the chosen pane, 920 × 660, opening on Appearance.
// Each time a pane is shown, and when the language changes, the pane is built anew (scrolled to
// the top, with fresh view state) and faded in; a language change also rebuilds the pane list
// and keeps the chosen pane. Every text takes the design of the interface font and every
// control the theme's accent. Escape and Ctrl+W close it. The arrows walk the pane list and Tab
// leaves it for the pane shown.
class SettingsView : public Gtk::Window {
 public:
  static constexpr int kWidth = 920;
  static constexpr int kHeight = 660;
  static constexpr int kPaneMaximumWidth = 660;
  static constexpr int kPaneHorizontalPadding = 32;
  static constexpr int kPaneVerticalPadding = 28;
  static constexpr unsigned kFadeMilliseconds = 220;

  // The panes show and change `models`.
  SettingsView(SettingsModels models, FaviconLoader& favicons, const SystemColorScheme& scheme);
  ~SettingsView() override;

  // What choosing a row does; choosing the pane already shown changes nothing.
  void select(SettingsPane pane);

 private:
  void sync();
  void rebuild();
  void enterPaneWithTab();
  void showPane();
  void dropHiddenPanes();

  SettingsContext context_;
  std::unique_ptr<SettingsStyle> style_;
  SettingsPane pane_ = SettingsPane::appearance;
  std::optional<AppLanguage> language_;
  std::optional<std::string> fontClass_;
  Gtk::Box root_{Gtk::Orientation::HORIZONTAL, 0};
  Gtk::Box column_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Separator divider_{Gtk::Orientation::VERTICAL};
  Gtk::Stack detail_;
  std::unique_ptr<SettingsSidebar> sidebar_;
  Gtk::ScrolledWindow* shownScroller_ = nullptr;
  std::optional<SettingsPane> shownPane_;
  unsigned panesBuilt_ = 0;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
