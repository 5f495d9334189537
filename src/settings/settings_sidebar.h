#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/brand_tile.h"
#include "settings/settings_context.h"
#include "settings/settings_sidebar_row.h"

namespace zemblo {

// The left column of the settings window: a greeting card, one row per pane, and the version at
// the bottom. Choosing a row (click, or arrows and Enter) reports its pane; the window decides
// what is shown. Its texts are those of the language it was built in: the window builds a new
// column when the language changes.
class SettingsSidebar : public Gtk::Box {
 public:
  static constexpr int kWidth = 228;

  SettingsSidebar(const SettingsContext& context, SettingsPane selected,
                  std::function<void(SettingsPane)> choose);
  ~SettingsSidebar() override;

  // Marks the pane's row as the chosen one, without reporting it.
  void showSelected(SettingsPane pane);

  // "Zemblo Browser " and the version, in every language.
  static std::string footerText();

 private:
  void sync();
  SettingsSidebarRow& row(SettingsPane pane);

  const SettingsContext& context_;
  std::function<void(SettingsPane)> choose_;
  Gtk::Box greeting_{Gtk::Orientation::HORIZONTAL, 12};
  BrandTile brand_;
  Gtk::Box greetingTexts_{Gtk::Orientation::VERTICAL, 2};
  Gtk::Label name_;
  Gtk::Label tagline_;
  Gtk::ListBox list_;
  std::vector<SettingsSidebarRow*> rows_;
  Gtk::Box spacer_;
  Gtk::Label footer_;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
