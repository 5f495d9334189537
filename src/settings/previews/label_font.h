#pragma once

#include <gtkmm.h>

namespace zemblo {

// How a text of the settings' own pictures is set, in the same pixel sizes as the kit's style
// sheet (a label inside a button would otherwise take the button's bold).
struct LabelFont {
  double pixels = 13;
  Pango::Weight weight = Pango::Weight::NORMAL;
  double tracking = 0;         // extra space between letters, in pixels
  bool tabularDigits = false;  // digits of equal width, so counting numbers do not jump
  bool white = false;          // over a colour or a picture rather than the window
};

void setLabelFont(Gtk::Label& label, const LabelFont& font);

}  // namespace zemblo
