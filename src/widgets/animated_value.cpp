#include "widgets/animated_value.h"

#include <adwaita.h>

#include <cmath>
#include <numbers>

namespace zemblo {

// Shared with the animation's callback target, which may outlive this value by a moment while
// libadwaita finishes with it.
struct AnimatedValue::Hook {
  AnimatedValue* owner;
};

AnimatedValue::AnimatedValue(Gtk::Widget& owner, double initial, std::function<void()> onChange)
    : owner_(owner), onChange_(std::move(onChange)), value_(initial), target_(initial) {}

AnimatedValue::~AnimatedValue() { stop(); }

bool AnimatedValue::running() const {
  return animation_ && adw_animation_get_state(animation_) == ADW_ANIMATION_PLAYING;
}

void AnimatedValue::springTo(double target, Spring spring) {
  if (target == target_ && (running() || value_ == target)) return;
  double velocity = 0;
  if (running() && ADW_IS_SPRING_ANIMATION(animation_)) {
    velocity = adw_spring_animation_get_velocity(ADW_SPRING_ANIMATION(animation_));
  }
  target_ = target;
  const double response = spring.response > 0 ? spring.response : 0.5;
  const double stiffness = std::pow(2 * std::numbers::pi / response, 2);
  AdwSpringParams* params = adw_spring_params_new(spring.dampingFraction, 1.0, stiffness);
  auto* hook = new Hook{this};
  AdwAnimationTarget* callback = adw_callback_animation_target_new(
      [](double value, gpointer data) {
        if (auto* owner = static_cast<Hook*>(data)->owner) owner->apply(value);
      },
      hook, [](gpointer data) { delete static_cast<Hook*>(data); });
  AdwAnimation* animation =
      adw_spring_animation_new(owner_.gobj(), value_, target, params, callback);
  adw_spring_animation_set_initial_velocity(ADW_SPRING_ANIMATION(animation), velocity);
  adw_spring_animation_set_clamp(ADW_SPRING_ANIMATION(animation), false);
  stop();
  hook_ = hook;
  start(animation);
}

void AnimatedValue::easeTo(double target, double seconds, Ease ease) {
  if (target == target_ && (running() || value_ == target)) return;
  target_ = target;
  auto* hook = new Hook{this};
  AdwAnimationTarget* callback = adw_callback_animation_target_new(
      [](double value, gpointer data) {
        if (auto* owner = static_cast<Hook*>(data)->owner) owner->apply(value);
      },
      hook, [](gpointer data) { delete static_cast<Hook*>(data); });
  const auto duration = static_cast<guint>(std::lround(std::max(0.0, seconds) * 1000));
  AdwAnimation* animation =
      adw_timed_animation_new(owner_.gobj(), value_, target, duration, callback);
  adw_timed_animation_set_easing(ADW_TIMED_ANIMATION(animation),
                                 ease == Ease::out ? ADW_EASE_OUT_CUBIC : ADW_EASE_IN_OUT_CUBIC);
  stop();
  hook_ = hook;
  start(animation);
}

void AnimatedValue::jumpTo(double value) {
  stop();
  target_ = value;
  apply(value);
}

void AnimatedValue::start(AdwAnimation* animation) {
  animation_ = animation;
  adw_animation_play(animation);
}

void AnimatedValue::stop() {
  if (!animation_) return;
  hook_->owner = nullptr;  // a reset reports the start value, which must not land here
  adw_animation_reset(animation_);
  g_object_unref(animation_);
  animation_ = nullptr;
  hook_ = nullptr;
}

void AnimatedValue::apply(double value) {
  if (value == value_) return;
  value_ = value;
  if (onChange_) onChange_();
}

}  // namespace zemblo
