#include "sidebar/sidebar_icon_button.h"

#include "widgets/accessibility.h"
#include "widgets/css_class.h"
#include "widgets/hover.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

SidebarIconButton::SidebarIconButton(std::string symbol, std::string help, bool enabled,
                                     std::function<void()> action)
    : symbol_(std::move(symbol)), action_(std::move(action)) {
  set_name("SidebarIconButton");
  set_focus_on_click(false);
  set_size_request(kWidth, kHeight);
  set_valign(Gtk::Align::CENTER);
  image_.set_from_icon_name(symbolIconName(symbol_));
  image_.set_pixel_size(symbolPixelSize(kSymbolPointSize));
  set_child(image_);
  signal_clicked().connect([this] {
    if (action_) action_();
  });
  trackHover(*this, [this](bool hovering) { setHovering(hovering); });
  update(help, enabled);
}

void SidebarIconButton::update(const std::string& help, bool enabled) {
  setHelpText(*this, help);
  set_sensitive(enabled);
}

void SidebarIconButton::setSymbol(std::string symbol) {
  if (symbol == symbol_) return;
  symbol_ = std::move(symbol);
  image_.set_from_icon_name(symbolIconName(symbol_));
}

void SidebarIconButton::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  setCssClass(*this, "hovering", hovering_);
}

}  // namespace zemblo
