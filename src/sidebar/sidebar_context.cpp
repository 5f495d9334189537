#include "sidebar/sidebar_context.h"

#include "model/browser_store.h"
#include "model/theme_colors.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

SidebarContext::SidebarContext(BrowserStore& store, const SystemColorScheme& windowScheme)
    : store_(store), windowScheme_(windowScheme) {}

ColorScheme SidebarContext::scheme() const {
  const ColorScheme window = windowScheme_.get();
  return sidebarColorScheme(store_, window).value_or(window);
}

GdkRGBA SidebarContext::primary(ColorScheme scheme, double opacity) {
  return paint::grey(scheme == ColorScheme::dark ? 1 : 0, opacity);
}

const char* SidebarStyle::styleSheet() {
  // Sizes in pixels: one point of the layout is one logical pixel. Buttons lose the theme's
  // frames, fills and dimming; the sidebar draws its own.
  return R"css(
#SidebarView { padding: 0 10px 10px 10px; }
.zemblo-sidebar.sidebar-light { color: black; }
.zemblo-sidebar.sidebar-dark { color: white; }

#SidebarIconButton, #DarkModeSidebarButton, #ReloadButton, #ShieldButton, #AddressPill .copy-link,
#TabRow .tab-close, #SpaceHeader .space-clear {
  padding: 0;
  margin: 0;
  border: none;
  background: none;
  box-shadow: none;
  outline: none;
  filter: none;
  color: inherit;
  min-width: 0;
  min-height: 0;
}
#SidebarIconButton { min-width: 28px; min-height: 26px; border-radius: 7px; }
#SidebarIconButton > image { opacity: 0.72; }
#SidebarIconButton:disabled > image { opacity: 0.25; }
.sidebar-light #SidebarIconButton.hovering:not(:disabled) { background-color: rgba(0, 0, 0, 0.08); }
.sidebar-dark #SidebarIconButton.hovering:not(:disabled) {
  background-color: rgba(255, 255, 255, 0.08);
}

#AddressPill .pill-host { font-size: 13px; font-weight: 500; }
#AddressPill .copy-link { min-width: 22px; min-height: 22px; }
#AddressPill .copy-link > image { opacity: 0.55; }
#ShieldButton { min-width: 22px; min-height: 22px; }
popover.adblock > contents { padding: 0; }
#AdBlockPopover .adblock-title { font-size: 14px; font-weight: 600; }
#AdBlockPopover .adblock-status { font-size: 12px; opacity: 0.55; }
#AdBlockPopover .adblock-switch-label { font-size: 13px; }
#AdBlockPopover .adblock-hint { font-size: 11px; opacity: 0.55; }
#AdBlockPopover .adblock-rule-count { font-size: 11px; opacity: 0.35; }
#ReloadButton { min-width: 26px; min-height: 26px; border-radius: 13px; }

popover.downloads > contents { padding: 0; }
#DownloadsPopover .downloads-title { font-size: 14px; font-weight: 600; }
#DownloadsPopover .downloads-clear { font-size: 12px; min-height: 0; padding: 2px 6px; opacity: 0.55; }
#DownloadsPopover .downloads-empty { opacity: 0.55; }
#DownloadsPopover .downloads-empty-label { font-size: 12px; }
#DownloadRow { padding: 8px; border-radius: 8px; }
#DownloadRow.hovering { background-color: alpha(currentColor, 0.06); }
#DownloadRow .download-name { font-size: 12px; font-weight: 500; }
#DownloadRow .download-state { font-size: 11px; opacity: 0.55; }
#DownloadRow .download-state.error { opacity: 1; }
#DownloadRow .download-generic { opacity: 0.55; }
#DownloadRow .download-reveal {
  min-width: 22px; min-height: 22px; padding: 0; border-radius: 6px; opacity: 0.55;
}
#DownloadRow progressbar.download-progress > trough,
#DownloadRow progressbar.download-progress > trough > progress { min-height: 4px; }
#SpaceHeader { padding: 4px 6px 0 6px; }
#SpaceHeader .space-clear label { font-size: 11px; font-weight: 500; }

#TabRow .tab-close { min-width: 20px; min-height: 20px; border-radius: 6px; }
#TabRow .tab-close > image { opacity: 0.55; }
.sidebar-light #TabRow .tab-close { background-color: rgba(0, 0, 0, 0.08); }
.sidebar-dark #TabRow .tab-close { background-color: rgba(255, 255, 255, 0.08); }

#TabListView, #TabListView > scrolledwindow, #TabListView viewport { background: none; }
)css";
}

SidebarStyle::SidebarStyle(const Glib::RefPtr<Gdk::Display>& display)
    : display_(display), provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(styleSheet());
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

void addTapAndHover(Gtk::Widget& widget, std::function<void()> tap,
                    std::function<void(bool)> hover) {
  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  click->signal_released().connect([&widget, tap](int presses, double x, double y) {
    if (presses == 1 && widget.contains(x, y)) tap();
  });
  widget.add_controller(click);
  auto motion = Gtk::EventControllerMotion::create();
  motion->signal_enter().connect([hover](double, double) { hover(true); });
  motion->signal_leave().connect([hover] { hover(false); });
  widget.add_controller(motion);
}

}  // namespace zemblo
