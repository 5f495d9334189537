#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// The aurora's colour field at one moment: a 3 × 3 grid of points in unit coordinates (x to the
// right, y downwards), row by row from the top, with a colour at each. The corners and the middles
// of the top and bottom edges stay put; the middle row drifts.
struct AuroraMesh {
  struct Point {
    double x = 0;
    double y = 0;
  };
  std::array<Point, 9> points;
  std::array<Color, 9> colors;

  // The phase of the drift `seconds` after 2001-01-01 00:00:00 UTC: 0.22 a second at speed 1,
  // and never slower than at speed 0.05.
  static double phase(double seconds, double speed);
  // The two tints sit in opposite corners over a near-black or near-white base, with their blend
  // in the middle.
  static AuroraMesh at(double phase, const Color& a, const Color& b, ColorScheme scheme);

  // The colour at a point of the unit square: the point is located in its patch, and the colours
  // are interpolated smoothly across the patches.
  Color colorAt(double x, double y) const;
  // The field sampled at the centres of a `width` × `height` grid, row by row, as red, green and
  // blue in 0…1.
  std::vector<float> sample(int width, int height) const;
};

// An animated backdrop: the aurora's colour field drifting slowly. GSK has no mesh gradient, so
// the field is computed on a small grid and scaled up with smooth filtering, which costs no more
// to draw than a plain gradient. The field is recomputed up to 30 times a second, but a new frame
// is drawn only once some part of it has moved by a step of the screen's colour depth: the drift
// is slow, and redrawing the card for changes nobody can see would take the CPU from the page.
// It runs only while it is on screen in a window that is not minimised.
class AuroraBackground : public Gtk::Widget {
 public:
  static constexpr unsigned kFrameIntervalMs = 33;
  // A little below the interval, so that every second frame of a 60 Hz display is drawn.
  static constexpr gint64 kMinimumFrameGapUs = (kFrameIntervalMs - 4) * 1000;
  // About one grid cell for this many points of the widget.
  static constexpr double kCellSize = 12;
  static constexpr int kMaximumCells = 128;
  // One step of an 8-bit colour channel.
  static constexpr float kVisibleChange = 1.0f / 255;

  AuroraBackground();
  ~AuroraBackground() override;

  // Redraws for new inputs; `speed` below 0.05 counts as 0.05.
  void update(const Color& a, const Color& b, double speed, bool animated, ColorScheme scheme);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void on_map() override;
  void on_unmap() override;

 private:
  // Whether the field is following the clock now.
  bool running() const { return tick_ != 0; }
  void updateRunning();
  bool windowMinimized() const;
  double currentPhase() const;
  // Computes the field for now; makes a new frame when it differs visibly from the one shown,
  // or always with `force`. True when it made one.
  bool refresh(bool force);

  Color a_;
  Color b_;
  double speed_ = 1;
  bool animated_ = false;
  ColorScheme scheme_ = ColorScheme::light;
  // A still aurora shows the moment it was first drawn or paused.
  std::optional<double> stillSeconds_;
  AuroraMesh mesh_;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<float> shownField_;
  Glib::RefPtr<Gdk::Texture> frame_;
  guint tick_ = 0;
  gint64 lastCheck_ = 0;
  gulong stateHandler_ = 0;
  Glib::RefPtr<Gdk::Surface> surface_;
};

}  // namespace zemblo
