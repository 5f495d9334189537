#pragma once

#include <memory>
#include <string>

#include <gtkmm.h>

#include "settings/previews/card_picture.h"
#include "widgets/animated_value.h"

namespace zemblo {

// One card of a choice row: a button whose face is the option's picture with its name under
// it. The row tells it whether it is the chosen one and with what accent.
class ChoiceCard : public Gtk::Button {
 public:
  static constexpr Spring kSelectionSpring{0.25, 0.85};

  ChoiceCard(const std::string& title, Gtk::Widget& picture);

  // `animated`: the move of the ring follows a click; a change made elsewhere jumps.
  void show(bool selected, const GdkRGBA& accent, const GdkRGBA& primary, bool animated);

 private:
  void redraw();

  Gtk::Box face_{Gtk::Orientation::VERTICAL, 8};
  CardPicture picture_;
  Gtk::Label title_;
  bool selected_ = false;
  GdkRGBA accent_{0, 0, 0, 1};
  GdkRGBA primary_{0, 0, 0, 1};
  std::unique_ptr<AnimatedValue> selectedness_;
};

}  // namespace zemblo
