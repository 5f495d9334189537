#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "platform/observable.h"
#include "settings/settings_context.h"

namespace zemblo {

class PreferencesModel;

// A one-click look of the content card: its corner radius, its margin and its shadow.
struct WindowPreset {
  std::string_view name;  // Turkish, shown through the localisation table
  double cornerRadius = 0;
  double contentInset = 0;
  bool contentShadow = false;

  // Whether the preferences hold exactly these three values.
  bool matches(const AppPreferences& prefs) const;
  // Writes the radius, the margin and the shadow in that order, one write each, so every step
  // is saved on its own like any other change.
  void apply(PreferencesModel& preferences) const;

  // Edge to edge, soft and floating, in the order they are offered.
  static std::span<const WindowPreset> all();
};

// A preset as a button: a miniature of the content card in the theme gradient above the
// preset's name. The preset that matches the current values is outlined in the accent.
class WindowPresetCard : public Gtk::Button {
 public:
  static constexpr int kMiniatureHeight = 70;

  WindowPresetCard(const SettingsContext& context, const WindowPreset& preset);
  ~WindowPresetCard() override;

 private:
  class Miniature;
  void sync();

  const SettingsContext& context_;
  const WindowPreset& preset_;
  Gtk::Box face_{Gtk::Orientation::VERTICAL, 8};
  Miniature* miniature_ = nullptr;
  Gtk::Label name_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
