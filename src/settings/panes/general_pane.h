#pragma once

#include <memory>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/pane_body.h"
#include "settings/kit/settings_row.h"
#include "settings/kit/slider_row.h"
#include "settings/panes/keyboard_shortcuts.h"
#include "settings/settings_context.h"

namespace zemblo {

// Language, search engine, start-up, the default browser, where downloads go, default zoom, when
// unused tabs sleep and the list of keyboard shortcuts. While the chosen language is not the one
// the browser started in, a row offers to restart it so the desktop's own texts follow too.
class GeneralPane : public PaneBody {
 public:
  static constexpr SliderRow::Range kZoomRange{0.5, 2.0, 0.1};
  static constexpr int kEnginePickerWidth = 160;

  explicit GeneralPane(const SettingsContext& context);
  ~GeneralPane() override;

 private:
  void sync();
  void enginePicked();
  void sleepDelayPicked();

  const SettingsContext& context_;
  const std::vector<KeyboardShortcut> shortcuts_;
  SettingsRow* restartRow_ = nullptr;
  Gtk::Button restartButton_;
  Gtk::DropDown* enginePicker_ = nullptr;
  Gtk::DropDown* sleepPicker_ = nullptr;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
