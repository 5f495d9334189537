#include "widgets/aurora_background.h"

#include <algorithm>
#include <cmath>

#include "model/theme_colors.h"
#include "platform/date.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

using Point = AuroraMesh::Point;

double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

// Where `p` lies in the four-sided patch p00, p10, p11, p01 (bilinear coordinates), when inside.
std::optional<Point> patchCoordinates(Point p, Point p00, Point p10, Point p11, Point p01) {
  constexpr double kSlack = 1e-9;
  const Point e = minus(p10, p00);
  const Point f = minus(p01, p00);
  const Point g = {p00.x - p10.x + p11.x - p01.x, p00.y - p10.y + p11.y - p01.y};
  const Point h = minus(p, p00);
  const double k2 = cross(g, f);
  const double k1 = cross(e, f) + cross(h, g);
  const double k0 = cross(h, e);
  const auto across = [&](double v) {
    const double dx = e.x + g.x * v;
    const double dy = e.y + g.y * v;
    return std::abs(dx) >= std::abs(dy) ? (h.x - f.x * v) / dx : (h.y - f.y * v) / dy;
  };
  const auto inside = [](double u, double v) {
    return u >= -kSlack && u <= 1 + kSlack && v >= -kSlack && v <= 1 + kSlack;
  };
  if (std::abs(k2) < 1e-12) {
    if (std::abs(k1) < 1e-12) return std::nullopt;
    const double v = -k0 / k1;
    const double u = across(v);
    if (inside(u, v)) return Point{u, v};
    return std::nullopt;
  }
  const double discriminant = k1 * k1 - 4 * k0 * k2;
  if (discriminant < 0) return std::nullopt;
  const double root = std::sqrt(discriminant);
  for (double v : {(-k1 - root) / (2 * k2), (-k1 + root) / (2 * k2)}) {
    const double u = across(v);
    if (inside(u, v)) return Point{u, v};
  }
  return std::nullopt;
}

// One channel along a row or column of three values, as a cubic through them whose slopes at
// the inner point follow both neighbours, so the colour bends smoothly across patch edges.
double smoothAlong(const std::array<double, 3>& values, double position) {
  const int segment = std::clamp(int(std::floor(position)), 0, 1);
  const double s = std::clamp(position - segment, 0.0, 1.0);
  const std::array<double, 3> slopes = {values[1] - values[0], (values[2] - values[0]) / 2,
                                        values[2] - values[1]};
  const double p0 = values[segment];
  const double p1 = values[segment + 1];
  const double m0 = slopes[segment];
  const double m1 = slopes[segment + 1];
  const double s2 = s * s;
  const double s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * p0 + (s3 - 2 * s2 + s) * m0 + (-2 * s3 + 3 * s2) * p1 +
         (s3 - s2) * m1;
}

}  // namespace

double AuroraMesh::phase(double seconds, double speed) {
  return seconds * 0.22 * std::max(0.05, std::isnan(speed) ? 0.05 : speed);
}

AuroraMesh AuroraMesh::at(double t, const Color& a, const Color& b, ColorScheme scheme) {
  const bool dark = scheme == ColorScheme::dark;
  const double white = dark ? 0.07 : 0.98;
  const Color base{white, white, white};
  const double k = dark ? 0.35 : 0.45;
  const Color cA = mixPerceptual(base, a, k);
  const Color cB = mixPerceptual(base, b, k);
  const Color cM = mixPerceptual(cB, cA, 0.5);

  AuroraMesh mesh;
  mesh.points = {{{0, 0},
                  {0.5, 0},
                  {1, 0},
                  {0, 0.5 + 0.12 * std::sin(t)},
                  {0.5 + 0.18 * std::cos(0.8 * t), 0.5 + 0.14 * std::sin(1.1 * t)},
                  {1, 0.5 + 0.12 * std::cos(0.9 * t)},
                  {0, 1},
                  {0.5, 1},
                  {1, 1}}};
  mesh.colors = {cA, base, cB, base, cM, base, cB, base, cA};
  return mesh;
}

Color AuroraMesh::colorAt(double x, double y) const {
  // Which of the four patches holds the point, and where in it.
  Point grid{0, 0};
  bool found = false;
  for (int row = 0; row < 2 && !found; ++row) {
    for (int column = 0; column < 2 && !found; ++column) {
      const int i = row * 3 + column;
      if (auto at =
              patchCoordinates({x, y}, points[i], points[i + 1], points[i + 4], points[i + 3])) {
        grid = {column + at->x, row + at->y};
        found = true;
      }
    }
  }
  if (!found) grid = {std::clamp(x, 0.0, 1.0) * 2, std::clamp(y, 0.0, 1.0) * 2};

  const auto channel = [&](double Color::*component) {
    std::array<double, 3> rows;
    for (int row = 0; row < 3; ++row) {
      rows[row] = smoothAlong({colors[row * 3].*component, colors[row * 3 + 1].*component,
                               colors[row * 3 + 2].*component},
                              grid.x);
    }
    return std::clamp(smoothAlong(rows, grid.y), 0.0, 1.0);
  };
  return {channel(&Color::r), channel(&Color::g), channel(&Color::b)};
}

std::vector<float> AuroraMesh::sample(int width, int height) const {
  std::vector<float> field(size_t(std::max(0, width)) * size_t(std::max(0, height)) * 3);
  size_t i = 0;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const Color c = colorAt((column + 0.5) / width, (row + 0.5) / height);
      field[i++] = float(c.r);
      field[i++] = float(c.g);
      field[i++] = float(c.b);
    }
  }
  return field;
}

AuroraBackground::AuroraBackground() {
  set_name("AuroraBackground");
  presentAsDecoration(*this);
  set_can_target(false);
}

AuroraBackground::~AuroraBackground() = default;

void AuroraBackground::update(const Color& a, const Color& b, double speed, bool animated,
                              ColorScheme scheme) {
  if (a == a_ && b == b_ && speed == speed_ && animated == animated_ && scheme == scheme_) return;
  // Pausing keeps the field where it is; resuming picks up the clock again.
  if (animated_ && !animated) stillSeconds_ = Date::now().secondsSince2001;
  a_ = a;
  b_ = b;
  speed_ = speed;
  animated_ = animated;
  scheme_ = scheme;
  frame_.reset();
  updateRunning();
  queue_draw();
}

void AuroraBackground::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                     int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

double AuroraBackground::currentPhase() const {
  const double seconds =
      animated_ || !stillSeconds_ ? Date::now().secondsSince2001 : *stillSeconds_;
  return AuroraMesh::phase(seconds, speed_);
}

bool AuroraBackground::refresh(bool force) {
  const int width = get_width();
  const int height = get_height();
  if (width <= 0 || height <= 0) return false;
  if (!animated_ && !stillSeconds_) stillSeconds_ = Date::now().secondsSince2001;
  const int columns = std::clamp(int(std::ceil(width / kCellSize)), 2, kMaximumCells);
  const int rows = std::clamp(int(std::ceil(height / kCellSize)), 2, kMaximumCells);
  const double phase = currentPhase();
  AuroraMesh mesh = AuroraMesh::at(phase, a_, b_, scheme_);
  std::vector<float> field = mesh.sample(columns, rows);
  if (!force && frame_ && columns == columns_ && rows == rows_) {
    float change = 0;
    for (size_t i = 0; i < field.size(); ++i) {
      change = std::max(change, std::abs(field[i] - shownField_[i]));
    }
    if (change < kVisibleChange) return false;
  }
  // Opaque, in the format the renderer uploads as it is: others are converted first, which costs
  // more than drawing the frame.
  std::vector<uint8_t> pixels(size_t(columns) * size_t(rows) * 4, 255);
  for (size_t i = 0, p = 0; i < field.size(); i += 3, p += 4) {
    for (size_t c = 0; c < 3; ++c) pixels[p + c] = uint8_t(std::lround(field[i + c] * 255));
  }
  GBytes* bytes = g_bytes_new(pixels.data(), pixels.size());
  frame_ = Glib::wrap(gdk_memory_texture_new(columns, rows, GDK_MEMORY_R8G8B8A8_PREMULTIPLIED,
                                             bytes, size_t(columns) * 4));
  g_bytes_unref(bytes);
  shownField_ = std::move(field);
  columns_ = columns;
  rows_ = rows;
  mesh_ = mesh;
  return true;
}

void AuroraBackground::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const int columns = std::clamp(int(std::ceil(get_width() / kCellSize)), 2, kMaximumCells);
  const int rows = std::clamp(int(std::ceil(get_height() / kCellSize)), 2, kMaximumCells);
  if (!frame_ || columns != columns_ || rows != rows_) refresh(true);
  if (!frame_) return;
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  gtk_snapshot_append_texture(snapshot->gobj(), frame_->gobj(), &bounds);
}

void AuroraBackground::on_map() {
  Gtk::Widget::on_map();
  if (auto* native = get_native()) {
    surface_ = native->get_surface();
    if (surface_ && GDK_IS_TOPLEVEL(surface_->gobj())) {
      stateHandler_ = g_signal_connect_swapped(
          surface_->gobj(), "notify::state",
          G_CALLBACK(+[](AuroraBackground* self) { self->updateRunning(); }), this);
    }
  }
  updateRunning();
}

void AuroraBackground::on_unmap() {
  if (stateHandler_) g_signal_handler_disconnect(surface_->gobj(), stateHandler_);
  stateHandler_ = 0;
  surface_.reset();
  Gtk::Widget::on_unmap();
  updateRunning();
}

bool AuroraBackground::windowMinimized() const {
  if (!surface_ || !GDK_IS_TOPLEVEL(surface_->gobj())) return false;
  return gdk_toplevel_get_state(GDK_TOPLEVEL(surface_->gobj())) & GDK_TOPLEVEL_STATE_MINIMIZED;
}

void AuroraBackground::updateRunning() {
  const bool run = animated_ && get_mapped() && !windowMinimized();
  if (run == running()) return;
  if (!run) {
    remove_tick_callback(tick_);
    tick_ = 0;
    return;
  }
  // Driven by the window's frame clock, so the field follows at the priority of drawing and in
  // step with the display.
  lastCheck_ = 0;
  tick_ = add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>& clock) {
    const gint64 now = clock->get_frame_time();
    if (now - lastCheck_ >= kMinimumFrameGapUs) {
      lastCheck_ = now;
      if (refresh(false)) queue_draw();
    }
    return true;
  });
}

}  // namespace zemblo
