#include "widgets/balanced_label.h"

namespace zemblo {
namespace {

int linesAt(const Glib::RefPtr<Pango::Layout>& layout, int width) {
  layout->set_width(width * PANGO_SCALE);
  return layout->get_line_count();
}

}  // namespace

BalancedLabel::BalancedLabel() {
  set_wrap(true);
  set_wrap_mode(Pango::WrapMode::WORD_CHAR);
  set_justify(Gtk::Justification::CENTER);
  set_halign(Gtk::Align::CENTER);
}

int BalancedLabel::balancedWidth(const Glib::RefPtr<Pango::Layout>& layout, int narrowest,
                                 int widest) {
  if (widest <= narrowest) return widest;
  const int lines = linesAt(layout, widest);
  // The line count only grows as the width shrinks: the narrowest width with as few lines lies
  // where it first grows.
  int low = narrowest, high = widest;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (linesAt(layout, middle) > lines) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return high;
}

void BalancedLabel::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum,
                                  int& natural, int& minimumBaseline, int& naturalBaseline) const {
  Gtk::Label::measure_vfunc(orientation, forSize, minimum, natural, minimumBaseline,
                            naturalBaseline);
  if (orientation != Gtk::Orientation::HORIZONTAL || forSize >= 0) return;
  PangoLayout* shown = gtk_label_get_layout(const_cast<GtkLabel*>(gobj()));
  if (!shown) return;
  // A copy: the label's own layout keeps the width it was last given.
  natural = balancedWidth(Glib::wrap(pango_layout_copy(shown)), minimum, natural);
}

}  // namespace zemblo
