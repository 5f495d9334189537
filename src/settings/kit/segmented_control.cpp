#include "settings/kit/segmented_control.h"

#include "settings/kit/binding.h"
#include "widgets/accessibility.h"

namespace zemblo {

SegmentedControl::SegmentedControl(const std::vector<std::string>& labels, int width)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0) {
  set_name("SegmentedControl");
  add_css_class("linked");
  add_css_class("settings-segmented");
  set_homogeneous(true);
  set_size_request(width, -1);
  set_halign(Gtk::Align::END);
  for (size_t i = 0; i < labels.size(); ++i) {
    auto* segment = Gtk::make_managed<Gtk::ToggleButton>();
    auto* text = Gtk::make_managed<Gtk::Label>(labels[i]);
    text->set_ellipsize(Pango::EllipsizeMode::END);
    segment->set_child(*text);
    segment->set_focus_on_click(false);
    setAccessibleName(*segment, labels[i]);
    if (!segments_.empty()) segment->set_group(*segments_.front());
    segment->signal_toggled().connect([this, i, segment] {
      if (showing_ || !segment->get_active()) return;
      picked_.emit(i);
    });
    segments_.push_back(segment);
    append(*segment);
  }
}

void SegmentedControl::show(std::optional<size_t> index) {
  ShowingModelValue showing(showing_);
  for (size_t i = 0; i < segments_.size(); ++i) segments_[i]->set_active(index == i);
}

}  // namespace zemblo
