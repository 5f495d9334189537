#include "widgets/system_color_scheme.h"

#include <adwaita.h>

namespace zemblo {
namespace {

ColorScheme current() {
  return adw_style_manager_get_dark(adw_style_manager_get_default()) ? ColorScheme::dark
                                                                     : ColorScheme::light;
}

}  // namespace

SystemColorScheme::SystemColorScheme() : scheme_(current()) {
  handler_ = g_signal_connect_swapped(
      adw_style_manager_get_default(), "notify::dark",
      G_CALLBACK(+[](SystemColorScheme* self) { self->scheme_.set(current()); }), this);
}

SystemColorScheme::SystemColorScheme(ColorScheme fixed) : scheme_(fixed) {}

SystemColorScheme::~SystemColorScheme() {
  if (handler_) g_signal_handler_disconnect(adw_style_manager_get_default(), handler_);
}

}  // namespace zemblo
