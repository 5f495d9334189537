#pragma once

#include <gtkmm.h>

namespace zemblo {

// A wrapping, centred text whose lines are as even as the text allows. A plain wrapping label
// fills each line to its widest and leaves what is over to the last, which may be one word on a
// line of its own; this one asks for the narrowest width that still needs no more lines than its
// widest does. Its maximum width in characters bounds it as in any label; it is shown at its own
// width, centred, so a wider column around it does not stretch it back.
class BalancedLabel : public Gtk::Label {
 public:
  BalancedLabel();

  // The width the text asks for at most `widest` pixels: the narrowest with as few lines.
  static int balancedWidth(const Glib::RefPtr<Pango::Layout>& layout, int narrowest, int widest);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                     int& minimumBaseline, int& naturalBaseline) const override;
};

}  // namespace zemblo
