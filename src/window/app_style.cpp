#include "window/app_style.h"

#include "window/window_resources.h"

namespace zemblo {

AppStyle::AppStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(resources::appStyleSheet());
  Gtk::StyleContext::add_provider_for_display(display_, provider_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

AppStyle::~AppStyle() { Gtk::StyleContext::remove_provider_for_display(display_, provider_); }

}  // namespace zemblo
