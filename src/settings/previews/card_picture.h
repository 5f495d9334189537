#pragma once

#include <gtk/gtk.h>
#include <gtkmm.h>

namespace zemblo {

// The picture of a choice card: the pane's preview of the option, exactly 76 high and as wide
// as the card, clipped to rounded corners, with an outline over it. The chosen card's outline is
// the accent, thicker, and the picture casts a soft shadow; `selectedness` (0 … 1, springs may
// pass the ends) blends between the two looks.
class CardPicture : public Gtk::Widget {
 public:
  static constexpr int kHeight = 76;
  static constexpr double kCornerRadius = 10;

  // `preview` is made with Gtk::make_managed; the picture keeps it.
  explicit CardPicture(Gtk::Widget& preview);
  ~CardPicture() override;

  void setLook(const GdkRGBA& accent, const GdkRGBA& primary, double selectedness);

  // The outline and the shadow for a selectedness.
  static double outlineWidth(double selectedness);
  static double shadowOpacity(double selectedness);

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  Gtk::Widget& preview_;
  GdkRGBA accent_{0, 0, 0, 1};
  GdkRGBA primary_{0, 0, 0, 1};
  double selectedness_ = 0;
};

}  // namespace zemblo
