#include "settings/previews/label_font.h"

namespace zemblo {

void setLabelFont(Gtk::Label& label, const LabelFont& font) {
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size_absolute(int(font.pixels * PANGO_SCALE));
  auto weight = Pango::Attribute::create_attr_weight(font.weight);
  attributes.insert(size);
  attributes.insert(weight);
  if (font.tracking > 0) {
    auto spacing = Pango::Attribute::create_attr_letter_spacing(int(font.tracking * PANGO_SCALE));
    attributes.insert(spacing);
  }
  if (font.tabularDigits) {
    auto digits = Pango::Attribute::create_attr_font_features("tnum");
    attributes.insert(digits);
  }
  if (font.white) {
    auto white = Pango::Attribute::create_attr_foreground(65535, 65535, 65535);
    attributes.insert(white);
  }
  label.set_attributes(attributes);
}

}  // namespace zemblo
