#include "settings/settings_style.h"

#include "settings/settings_resources.h"

namespace zemblo {
namespace {

// Text on the accent: black on light accents, white on the others.
const char* textOn(const Color& accent) {
  const double luminance = 0.2126 * accent.r + 0.7152 * accent.g + 0.0722 * accent.b;
  return luminance > 0.7 ? "black" : "white";
}

}  // namespace

SettingsStyle::SettingsStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), kit_(Gtk::CssProvider::create()), accent_(Gtk::CssProvider::create()) {
  kit_->load_from_data(resources::kitStyleSheet());
  Gtk::StyleContext::add_provider_for_display(display_, kit_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  Gtk::StyleContext::add_provider_for_display(display_, accent_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
}

SettingsStyle::~SettingsStyle() {
  Gtk::StyleContext::remove_provider_for_display(display_, accent_);
  Gtk::StyleContext::remove_provider_for_display(display_, kit_);
}

void SettingsStyle::setAccent(const Color& accent) {
  if (shownAccent_ == accent) return;
  shownAccent_ = accent;
  accent_->load_from_data(accentStyleSheet(accent));
}

std::string SettingsStyle::accentStyleSheet(const Color& accent) {
  return resources::accentStyleSheet(
      {.accent = accent.hexString(), .textOnAccent = textOn(accent)});
}

std::optional<std::string> SettingsStyle::fontFamily(InterfaceFont font) {
  switch (font) {
    case InterfaceFont::rounded:
      return "Nunito, Comfortaa, Quicksand, sans-serif";
    case InterfaceFont::serif:
      return "serif";
    case InterfaceFont::mono:
      return "monospace";
    case InterfaceFont::system:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> SettingsStyle::fontClass(InterfaceFont font) {
  switch (font) {
    case InterfaceFont::rounded:
      return "settings-font-rounded";
    case InterfaceFont::serif:
      return "settings-font-serif";
    case InterfaceFont::mono:
      return "settings-font-mono";
    case InterfaceFont::system:
      break;
  }
  return std::nullopt;
}

}  // namespace zemblo
