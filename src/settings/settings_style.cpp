#include "settings/settings_style.h"

namespace zemblo {
namespace {

// A hairline of half a point is drawn as one pixel at half the opacity: the same on a display
// of one pixel per point, and it takes no room (GTK counts borders into the size).
const char* kitStyleSheet() {
  return R"css(
window.zemblo-settings.settings-font-rounded { font-family: "Nunito", "Comfortaa", "Quicksand", sans-serif; }
window.zemblo-settings.settings-font-serif { font-family: serif; }
window.zemblo-settings.settings-font-mono { font-family: monospace; }

.zemblo-settings .settings-root,
.zemblo-settings .settings-detail { background-color: @window_bg_color; }
.zemblo-settings .settings-secondary { opacity: 0.55; }
.zemblo-settings .settings-tertiary { opacity: 0.3; }

.zemblo-settings .settings-sidebar {
  padding: 12px;
  background-color: mix(@window_bg_color, @window_fg_color, 0.04);
}
.zemblo-settings .settings-greeting {
  padding: 10px;
  border-radius: 12px;
  background-color: alpha(@window_fg_color, 0.05);
}
.zemblo-settings .settings-greeting-name { font-size: 14px; font-weight: 600; }
.zemblo-settings .settings-greeting-line { font-size: 11px; }
.zemblo-settings .settings-footer { font-size: 11px; margin-left: 6px; }
.zemblo-settings list.settings-pane-list { background: none; }
.zemblo-settings list.settings-pane-list > row {
  min-height: 34px;
  padding: 0 8px;
  margin-bottom: 2px;
  border-radius: 8px;
  background: none;
  color: inherit;
}
.zemblo-settings list.settings-pane-list > row:hover { background-color: alpha(@window_fg_color, 0.05); }
.zemblo-settings list.settings-pane-list > row:selected { background-color: alpha(@window_fg_color, 0.1); }
.zemblo-settings .settings-pane-row-title { font-size: 13px; }
.zemblo-settings row:selected .settings-pane-row-title { font-weight: 600; }

.zemblo-settings .settings-pane-title { font-size: 24px; font-weight: 700; }
.zemblo-settings .settings-pane-subtitle { font-size: 13px; }

.zemblo-settings .settings-section-title { font-size: 12px; font-weight: 600; margin-left: 4px; }
.zemblo-settings .settings-section-footer { font-size: 11px; margin: 0 4px; }
.zemblo-settings .settings-card {
  border-radius: 12px;
  box-shadow: inset 0 0 0 1px alpha(@window_fg_color, 0.035);
  background-color: alpha(@window_fg_color, 0.035);
}
.zemblo-settings .settings-row { padding: 11px 14px; }
.zemblo-settings .settings-slider-row { padding: 12px 14px; }
.zemblo-settings .settings-row-title { font-size: 13px; }
.zemblo-settings .settings-row-subtitle { font-size: 11px; }
.zemblo-settings .settings-row-divider { margin-left: 14px; background-color: alpha(@window_fg_color, 0.1); min-height: 1px; }

.zemblo-settings .settings-badge {
  padding: 3px 8px;
  border-radius: 999px;
  background-color: alpha(@window_fg_color, 0.06);
}
.zemblo-settings .settings-badge label { font-size: 12px; font-weight: 500; font-feature-settings: "tnum"; }

.zemblo-settings .settings-keycap {
  font-family: "Nunito", "Comfortaa", "Quicksand", sans-serif;
  font-size: 11px;
  font-weight: 600;
  padding: 0 6px;
  border-radius: 5px;
  box-shadow: inset 0 0 0 1px alpha(@window_fg_color, 0.06);
  background-color: alpha(@window_fg_color, 0.07);
}

.zemblo-settings switch.settings-switch { padding: 2px; }
.zemblo-settings switch.settings-switch > slider { min-width: 16px; min-height: 16px; }
.zemblo-settings scale.settings-slider { padding: 6px 0; }

.zemblo-settings .settings-segmented > button {
  min-height: 22px;
  padding: 1px 8px;
  font-size: 12px;
}

.zemblo-settings button.settings-small {
  min-height: 22px;
  padding: 2px 10px;
  font-size: 12px;
}

.zemblo-settings button.settings-card-button {
  padding: 0;
  border: none;
  background: none;
  box-shadow: none;
  outline-offset: 2px;
}
.zemblo-settings .settings-card-title { font-size: 12px; }
.zemblo-settings .settings-caption { font-size: 11px; font-weight: 600; }
.zemblo-settings .settings-list-heading { font-size: 12px; font-weight: 600; }
.zemblo-settings button.settings-link { padding: 2px 4px; font-size: 13px; }
.zemblo-settings .settings-card-title.selected { font-weight: 600; }
)css";
}

// Text on the accent: black on light accents, white on the others.
const char* textOn(const Color& accent) {
  const double luminance = 0.2126 * accent.r + 0.7152 * accent.g + 0.0722 * accent.b;
  return luminance > 0.7 ? "black" : "white";
}

}  // namespace

SettingsStyle::SettingsStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), kit_(Gtk::CssProvider::create()), accent_(Gtk::CssProvider::create()) {
  kit_->load_from_data(kitStyleSheet());
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
  const std::string color = accent.hexString();
  const std::string text = textOn(accent);
  return "window.zemblo-settings switch:checked { background-color: " + color + "; }\n" +
         "window.zemblo-settings scale > trough > highlight { background-color: " + color +
         "; }\n" +
         "window.zemblo-settings .settings-segmented > button:checked { background: " + color +
         "; color: " + text + "; }\n" +
         "window.zemblo-settings button.settings-link { color: " + color + "; }\n" +
         "window.zemblo-settings button.suggested-action { background: " + color +
         "; color: " + text + "; }\n" +
         "window.zemblo-settings *:focus-visible { outline-color: alpha(" + color + ", 0.5); }\n";
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
