#include "window/symbol_icons.h"

#include <cmath>
#include <utility>

extern "C" void zemblo_icons_register_resource(void);

namespace zemblo {
namespace {

constexpr const char* kResourcePath = "/com/pellobar/browser/icons";
constexpr const char* kUnknownSymbolIcon = "zemblo-dot-symbolic";

// Symbols of the sidebar and the content card. Theme icons where one says the same thing; ours
// (prefixed "zemblo-") where the theme has nothing alike.
constexpr std::pair<std::string_view, const char*> kSymbolIcons[] = {
    {"sidebar.left", "sidebar-show-symbolic"},
    {"chevron.left", "go-previous-symbolic"},
    {"chevron.right", "go-next-symbolic"},
    {"chevron.up", "go-up-symbolic"},
    {"chevron.down", "go-down-symbolic"},
    {"magnifyingglass", "system-search-symbolic"},
    {"text.magnifyingglass", "edit-find-symbolic"},
    {"lock.fill", "channel-secure-symbolic"},
    {"globe", "web-browser-symbolic"},
    {"link", "insert-link-symbolic"},
    {"checkmark", "object-select-symbolic"},
    {"arrow.clockwise", "view-refresh-symbolic"},
    {"xmark", "window-close-symbolic"},
    {"plus", "list-add-symbolic"},
    {"sparkles", "zemblo-sparkles-symbolic"},
    {"wifi.exclamationmark", "network-wireless-no-route-symbolic"},
    {"gearshape", "emblem-system-symbolic"},
    {"key", "dialog-password-symbolic"},
    {"doc.fill", "text-x-generic-symbolic"},
    {"arrow.down", "go-down-symbolic"},
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

int symbolPixelSize(double pointSize) { return static_cast<int>(std::lround(pointSize * 1.2)); }

}  // namespace zemblo
