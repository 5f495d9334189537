#include "settings/kit/choice_card.h"

#include "settings/kit/row_parts.h"
#include "widgets/accessibility.h"

namespace zemblo {

ChoiceCard::ChoiceCard(const std::string& title, Gtk::Widget& picture)
    : picture_(picture), title_(title) {
  set_name("ChoiceCard");
  add_css_class("settings-card-button");
  set_has_frame(false);
  set_focus_on_click(false);
  set_hexpand(true);
  title_.add_css_class("settings-card-title");
  title_.set_ellipsize(Pango::EllipsizeMode::END);
  face_.append(picture_);
  face_.append(title_);
  set_child(face_);
  setAccessibleName(*this, title);
  presentAsImage(picture_, title);
  setAccessiblePressed(*this, false);
  selectedness_ = std::make_unique<AnimatedValue>(*this, 0, [this] { redraw(); });
  title_.add_css_class("settings-secondary");
}

void ChoiceCard::show(bool selected, const GdkRGBA& accent, const GdkRGBA& primary, bool animated) {
  accent_ = accent;
  primary_ = primary;
  if (selected != selected_) {
    selected_ = selected;
    setAccessiblePressed(*this, selected);
    row_parts::showChosen(title_, selected);
  }
  if (animated) {
    selectedness_->springTo(selected ? 1 : 0, kSelectionSpring);
  } else {
    selectedness_->jumpTo(selected ? 1 : 0);
  }
  redraw();
}

void ChoiceCard::redraw() { picture_.setLook(accent_, primary_, selectedness_->value()); }

}  // namespace zemblo
