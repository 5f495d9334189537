#pragma once

#include <functional>
#include <memory>

#include <gtkmm.h>

typedef struct _AdwAnimation AdwAnimation;

namespace zemblo {

// A spring given as its response (seconds) and damping fraction.
struct Spring {
  double response = 0.5;
  double dampingFraction = 0.825;
};

enum class Ease { out, inOut };

// One animated number owned by a widget. Every change of the value calls `onChange`, where the
// owner queues its layout or drawing. The animation runs on the widget's frame clock; while the
// widget is not mapped, or the desktop has animations switched off, a new target is reached at
// once.
class AnimatedValue {
 public:
  AnimatedValue(Gtk::Widget& owner, double initial, std::function<void()> onChange);
  ~AnimatedValue();
  AnimatedValue(const AnimatedValue&) = delete;
  AnimatedValue& operator=(const AnimatedValue&) = delete;

  double value() const { return value_; }
  double target() const { return target_; }
  bool running() const;

  // Moves towards `target` on a spring, keeping the current velocity when retargeted.
  void springTo(double target, Spring spring);
  void easeTo(double target, double seconds, Ease ease);
  // Sets the value without animation.
  void jumpTo(double value);

 private:
  struct Hook;
  void start(AdwAnimation* animation);
  void stop();
  void apply(double value);

  Gtk::Widget& owner_;
  std::function<void()> onChange_;
  double value_;
  double target_;
  AdwAnimation* animation_ = nullptr;
  Hook* hook_ = nullptr;
};

}  // namespace zemblo
