#include "sidebar/sidebar_context.h"

#include "model/theme_colors.h"
#include "sidebar/sidebar_resources.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

SidebarContext::SidebarContext(const SidebarModels& models, const SystemColorScheme& windowScheme)
    : SidebarModels(models), windowScheme_(windowScheme) {}

ColorScheme SidebarContext::scheme() const {
  const ColorScheme window = windowScheme_.get();
  return sidebarColorScheme(preferences, tabs, window).value_or(window);
}

GdkRGBA SidebarContext::primary(ColorScheme scheme, double opacity) {
  return paint::grey(scheme == ColorScheme::dark ? 1 : 0, opacity);
}

SidebarStyle::SidebarStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(resources::sidebarStyleSheet());
  Gtk::StyleContext::add_provider_for_display(display_, provider_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

SidebarStyle::~SidebarStyle() {
  Gtk::StyleContext::remove_provider_for_display(display_, provider_);
}

Glib::ustring literalMenuLabel(const std::string& text) {
  Glib::ustring label;
  for (const char c : text) {
    if (c == '_') label += '_';
    label += c;
  }
  return label;
}

}  // namespace zemblo
