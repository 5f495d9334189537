#pragma once

#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/color.h"
#include "model/preference_enums.h"

namespace zemblo {

// The look of the settings window, scoped to it so the other windows keep theirs: one fixed
// style sheet for the kit (sizes in pixels, one point of the layout being one logical pixel) and
// one generated from the theme's accent, which tints every control of the window.
class SettingsStyle {
 public:
  // The class the settings window carries; every rule hangs below it.
  static constexpr const char* kWindowClass = "zemblo-settings";

  explicit SettingsStyle(const Glib::RefPtr<Gdk::Display>& display);
  ~SettingsStyle();
  SettingsStyle(const SettingsStyle&) = delete;
  SettingsStyle& operator=(const SettingsStyle&) = delete;

  void setAccent(const Color& accent);

  // The rules of the accent: switches, slider tracks, chosen segments and focus rings.
  static std::string accentStyleSheet(const Color& accent);
  // The class that gives every text of the window the interface font's design; none for the
  // system font.
  static std::optional<std::string> fontClass(InterfaceFont font);
  // The font families of an interface font's design, first choice first, as Pango takes them;
  // none for the desktop's own font.
  static std::optional<std::string> fontFamily(InterfaceFont font);

 private:
  Glib::RefPtr<Gdk::Display> display_;
  Glib::RefPtr<Gtk::CssProvider> kit_;
  Glib::RefPtr<Gtk::CssProvider> accent_;
  std::optional<Color> shownAccent_;
};

}  // namespace zemblo
