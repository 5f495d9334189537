#include "settings/kit/row_parts.h"

#include "widgets/accessibility.h"

#include "widgets/symbol_icons.h"

namespace zemblo::row_parts {

void wrappingText(Gtk::Label& label, std::initializer_list<const char*> cssClasses) {
  for (const char* cssClass : cssClasses) label.add_css_class(cssClass);
  label.set_xalign(0);
  label.set_wrap(true);
  label.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
}

Gtk::Image* makeIcon(const std::string& symbol) {
  auto* icon = Gtk::make_managed<Gtk::Image>();
  icon->set_from_icon_name(symbolIconName(symbol));
  icon->set_pixel_size(symbolPixelSize(13));
  icon->set_size_request(kIconWidth, -1);
  icon->set_valign(Gtk::Align::CENTER);
  icon->add_css_class("settings-secondary");
  hideFromScreenReaders(*icon);
  return icon;
}

void pad(Gtk::Widget& widget, int horizontal, int vertical) {
  widget.set_margin_start(horizontal);
  widget.set_margin_end(horizontal);
  widget.set_margin_top(vertical);
  widget.set_margin_bottom(vertical);
}

void showChosen(Gtk::Label& name, bool chosen) {
  if (chosen) {
    name.add_css_class("selected");
    name.remove_css_class("settings-secondary");
  } else {
    name.remove_css_class("selected");
    name.add_css_class("settings-secondary");
  }
}

}  // namespace zemblo::row_parts
