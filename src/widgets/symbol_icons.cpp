#include "widgets/symbol_icons.h"

#include <cmath>
#include <iterator>
#include <utility>

extern "C" void zemblo_icons_register_resource(void);

namespace zemblo {
namespace {

constexpr const char* kResourcePath = "/com/pellobar/browser/icons";
constexpr const char* kUnknownSymbolIcon = "zemblo-dot-symbolic";

// Theme icons where one says the same thing; ours (prefixed "zemblo-") where the theme has nothing
// alike. A filled and an outline form share one icon when the theme draws only one.
constexpr std::pair<std::string_view, const char*> kSymbolIcons[] = {
    // Bars, buttons and lists.
    {"sidebar.left", "sidebar-show-symbolic"},
    {"macwindow", "zemblo-window-symbolic"},
    {"chevron.left", "go-previous-symbolic"},
    {"chevron.right", "go-next-symbolic"},
    {"chevron.up", "go-up-symbolic"},
    {"chevron.down", "go-down-symbolic"},
    {"magnifyingglass", "system-search-symbolic"},
    {"text.magnifyingglass", "edit-find-symbolic"},
    {"plus.magnifyingglass", "zemblo-magnifier-plus-symbolic"},
    {"lock.fill", "channel-secure-symbolic"},
    {"lock.open.fill", "changes-allow-symbolic"},
    {"lock.slash", "channel-insecure-symbolic"},
    {"lock.shield", "zemblo-lock-shield-symbolic"},
    {"globe", "zemblo-globe-lines-symbolic"},
    {"link", "zemblo-link-symbolic"},
    {"checkmark", "object-select-symbolic"},
    {"checkmark.circle.fill", "emblem-default-symbolic"},
    {"xmark", "window-close-symbolic"},
    {"xmark.circle.fill", "zemblo-xmark-circle-fill-symbolic"},
    {"xmark.octagon.fill", "zemblo-xmark-octagon-fill-symbolic"},
    {"plus", "list-add-symbolic"},
    {"trash", "user-trash-symbolic"},
    {"return", "zemblo-return-symbolic"},
    {"command", "zemblo-command-symbolic"},
    {"gearshape", "emblem-system-symbolic"},
    {"gearshape.fill", "emblem-system-symbolic"},
    {"slider.horizontal.below.rectangle", "zemblo-slider-below-rectangle-symbolic"},
    {"list.bullet.rectangle", "zemblo-list-rectangle-symbolic"},
    {"doc.fill", "text-x-generic-symbolic"},
    {"doc.on.doc", "edit-copy-symbolic"},
    {"doc.badge.arrow.up", "document-send-symbolic"},
    {"square.and.arrow.down", "document-save-symbolic"},
    {"square.on.square", "zemblo-square-on-square-symbolic"},
    {"square.dashed", "zemblo-square-dashed-symbolic"},
    {"square.grid.3x2", "zemblo-grid-3x2-symbolic"},
    {"rectangle.fill", "zemblo-rectangle-fill-symbolic"},
    {"rectangle.inset.filled", "zemblo-rectangle-inset-symbolic"},
    {"shadow", "zemblo-shadow-symbolic"},
    {"textformat", "preferences-desktop-font-symbolic"},
    {"character.cursor.ibeam", "zemblo-character-cursor-symbolic"},
    {"eyedropper", "color-select-symbolic"},
    {"paintbrush.fill", "zemblo-paintbrush-symbolic"},
    {"paintbrush.pointed", "zemblo-paintbrush-pointed-symbolic"},
    {"photo.badge.plus", "zemblo-photo-add-symbolic"},
    {"externaldrive", "drive-harddisk-symbolic"},
    {"clock", "preferences-system-time-symbolic"},
    {"clock.arrow.circlepath", "document-open-recent-symbolic"},
    {"24.circle", "zemblo-24-circle-symbolic"},
    {"person.crop.circle", "avatar-default-symbolic"},
    {"hand.wave", "zemblo-hand-wave-symbolic"},
    {"figure.walk.motion", "zemblo-figure-walk-symbolic"},
    {"wifi.exclamationmark", "zemblo-wifi-exclamationmark-symbolic"},
    {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
    {"exclamationmark.bubble", "dialog-information-symbolic"},
    {"calendar", "x-office-calendar-symbolic"},
    {"photo", "image-x-generic-symbolic"},
    {"wind", "weather-windy-symbolic"},
    {"drop", "zemblo-drop-symbolic"},
    {"speaker.wave.2.fill", "audio-volume-high-symbolic"},
    {"speaker.slash.fill", "audio-volume-muted-symbolic"},

    // Arrows.
    {"arrow.clockwise", "view-refresh-symbolic"},
    {"arrow.counterclockwise", "object-rotate-left-symbolic"},
    {"arrow.down", "zemblo-arrow-down-symbolic"},
    {"arrow.right", "zemblo-arrow-right-symbolic"},
    {"arrow.up.right", "zemblo-arrow-up-right-symbolic"},
    {"arrow.down.right", "zemblo-arrow-down-right-symbolic"},
    {"arrow.down.circle", "zemblo-arrow-down-circle-symbolic"},
    {"arrow.down.circle.fill", "zemblo-arrow-down-circle-fill-symbolic"},
    {"arrow.left.and.right", "zemblo-arrow-left-and-right-symbolic"},
    {"arrow.left.arrow.right", "zemblo-arrows-swap-symbolic"},
    {"arrow.up.and.down.and.arrow.left.and.right", "zemblo-arrow-move-symbolic"},
    {"shuffle", "media-playlist-shuffle-symbolic"},

    // Privacy and passwords.
    {"key", "dialog-password-symbolic"},
    {"key.fill", "dialog-password-symbolic"},
    {"key.horizontal", "dialog-password-symbolic"},
    {"eye", "view-reveal-symbolic"},
    {"eye.slash", "view-conceal-symbolic"},
    {"theatermasks.fill", "zemblo-mask-symbolic"},
    {"hand.raised.fill", "preferences-system-privacy-symbolic"},
    {"shield.lefthalf.filled", "zemblo-shield-left-half-symbolic"},
    {"shield.slash", "zemblo-shield-slash-symbolic"},

    // Appearance.
    {"sun.max", "weather-clear-symbolic"},
    {"sun.max.fill", "weather-clear-symbolic"},
    {"moon", "zemblo-moon-symbolic"},
    {"moon.fill", "weather-clear-night-symbolic"},
    {"circle.lefthalf.filled", "zemblo-circle-left-half-symbolic"},
    {"circle.righthalf.filled", "zemblo-circle-right-half-symbolic"},
    {"circle.fill", "zemblo-circle-fill-symbolic"},
    {"circle.dotted", "zemblo-circle-dotted-symbolic"},
    {"drop.halffull", "zemblo-drop-half-symbolic"},
    {"star", "zemblo-star-outline-symbolic"},

    // The symbols a space can wear.
    {"sparkles", "zemblo-sparkles-symbolic"},
    {"briefcase.fill", "zemblo-briefcase-symbolic"},
    {"flame.fill", "zemblo-flame-symbolic"},
    {"house.fill", "go-home-symbolic"},
    {"book.fill", "accessories-dictionary-symbolic"},
    {"graduationcap.fill", "zemblo-graduation-cap-symbolic"},
    {"gamecontroller.fill", "input-gaming-symbolic"},
    {"music.note", "audio-x-generic-symbolic"},
    {"film.fill", "zemblo-film-symbolic"},
    {"cart.fill", "zemblo-cart-symbolic"},
    {"heart.fill", "emblem-favorite-symbolic"},
    {"star.fill", "starred-symbolic"},
    {"leaf.fill", "zemblo-leaf-symbolic"},
    {"globe.europe.africa.fill", "zemblo-globe-symbolic"},
    {"airplane", "airplane-mode-symbolic"},
    {"camera.fill", "camera-photo-symbolic"},
    {"paintpalette.fill", "applications-graphics-symbolic"},
    {"hammer.fill", "zemblo-hammer-symbolic"},
    {"chevron.left.forwardslash.chevron.right", "zemblo-code-symbolic"},
    {"terminal.fill", "utilities-terminal-symbolic"},
    {"cup.and.saucer.fill", "zemblo-cup-symbolic"},
    {"dumbbell.fill", "zemblo-dumbbell-symbolic"},
    {"bolt.fill", "zemblo-bolt-symbolic"},
    {"cloud.fill", "weather-overcast-symbolic"},
    {"person.2.fill", "system-users-symbolic"},
    {"bubble.left.and.bubble.right.fill", "zemblo-bubbles-symbolic"},
    {"newspaper.fill", "zemblo-newspaper-symbolic"},
    {"building.2.fill", "zemblo-buildings-symbolic"},
    {"sportscourt.fill", "zemblo-sports-court-symbolic"},
    {"pawprint.fill", "zemblo-pawprint-symbolic"},
    {"atom", "zemblo-atom-symbolic"},
    {"cpu.fill", "zemblo-cpu-symbolic"},
    {"lightbulb.fill", "emoji-objects-symbolic"},
    {"flag.fill", "emoji-flags-symbolic"},
    {"bookmark.fill", "user-bookmarks-symbolic"},
    {"tray.full.fill", "zemblo-tray-full-symbolic"},
    {"tray", "zemblo-tray-symbolic"},
    {"circle.hexagongrid.fill", "zemblo-circle-hexagon-grid-symbolic"},
    {"square.stack.3d.up.fill", "zemblo-layers-symbolic"},
};

}  // namespace

const char* symbolIconName(std::string_view symbol) {
  for (const auto& [name, icon] : kSymbolIcons) {
    if (name == symbol) return icon;
  }
  return kUnknownSymbolIcon;
}

void registerSymbolIcons(const Glib::RefPtr<Gdk::Display>& display) {
  static const bool resourceRegistered = [] {
    zemblo_icons_register_resource();
    return true;
  }();
  (void)resourceRegistered;
  if (!display) return;
  const auto theme = Gtk::IconTheme::get_for_display(display);
  for (const auto& path : theme->get_resource_path()) {
    if (path == kResourcePath) return;
  }
  theme->add_resource_path(kResourcePath);
}

std::vector<std::string_view> knownSymbols() {
  std::vector<std::string_view> names;
  names.reserve(std::size(kSymbolIcons));
  for (const auto& entry : kSymbolIcons) names.push_back(entry.first);
  return names;
}

int symbolPixelSize(double pointSize) { return static_cast<int>(std::lround(pointSize * 1.2)); }

}  // namespace zemblo
