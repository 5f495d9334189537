#pragma once

#include <initializer_list>
#include <string>

#include <gtkmm.h>

// What the kit's rows, sections and headers share.
namespace zemblo::row_parts {

inline constexpr int kIconWidth = 20;

// A leading-aligned text that wraps onto as many lines as it needs, never cut short.
void wrappingText(Gtk::Label& label, std::initializer_list<const char*> cssClasses);

// Space around a widget inside a card, as margins.
void pad(Gtk::Widget& widget, int horizontal, int vertical);

// The name under a chosen card in the stronger weight and full colour, under the others dimmed.
void showChosen(Gtk::Label& name, bool chosen);

// A row's symbol: 13 points, in the secondary style, centred in a column 20 wide.
Gtk::Image* makeIcon(const std::string& symbol);

}  // namespace zemblo::row_parts
