#include "window/app_style.h"

namespace zemblo {

const char* applicationStyleSheet() {
  // Sizes are in pixels: one point of the layout is one logical pixel.
  return R"css(
window.zemblo-browser-window,
window.zemblo-browser-window.background {
  background: none;
}

.font-rounded { font-family: "Nunito", "Comfortaa", "Quicksand", sans-serif; }
.font-serif { font-family: serif; }
.font-mono { font-family: monospace; }

.fg-secondary { opacity: 0.55; }
.fg-tertiary { opacity: 0.3; }

.zemblo-window-buttons button {
  min-width: 14px;
  min-height: 14px;
  padding: 0;
  margin: 0 4px;
}
.zemblo-window-buttons button image { -gtk-icon-size: 10px; }

/* Text parts outside an entry get the theme's placeholder colour too. */
text > placeholder { opacity: 0.55; }

/* A start-page tile shows the pointer only by growing its icon. */
button.start-tile,
button.start-tile:hover,
button.start-tile:active {
  background: none;
  box-shadow: none;
  padding: 0;
  min-width: 0;
  min-height: 0;
}

#FindBar text { background: none; padding: 0; }
#FindBar .find-not-found { font-size: 11px; font-weight: 500; }
#FindBar .find-bar-button {
  min-width: 20px;
  min-height: 20px;
  padding: 0;
}
#FindBar .find-bar-button image { -gtk-icon-size: 13px; }
#FindBar separator { margin: 0; }

/* The start page's content over the user's dimmed picture. */
#StartPage .over-picture { color: white; }

#LoadErrorView { background-color: @window_bg_color; }
#LoadErrorView .title { font-size: 22px; font-weight: 600; }
#LoadErrorView .message { font-size: 13px; }
#LoadErrorView .host { font-size: 12px; font-weight: 500; font-family: monospace; }
#LoadErrorView .retry { padding: 9px 24px; font-size: 15px; }
)css";
}

AppStyle::AppStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(applicationStyleSheet());
  Gtk::StyleContext::add_provider_for_display(display_, provider_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

AppStyle::~AppStyle() { Gtk::StyleContext::remove_provider_for_display(display_, provider_); }

}  // namespace zemblo
