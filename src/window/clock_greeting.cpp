#include "window/clock_greeting.h"

#include <chrono>

#include "model/clock_greeting_rules.h"
#include "model/localization.h"
#include "model/preferences_model.h"

namespace zemblo {
namespace {

void styleLabel(Gtk::Label& label, int points, Pango::Weight weight, double tracking = 0) {
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size(points * PANGO_SCALE);
  auto bold = Pango::Attribute::create_attr_weight(weight);
  attributes.insert(size);
  attributes.insert(bold);
  if (tracking > 0) {
    auto spacing = Pango::Attribute::create_attr_letter_spacing(int(tracking * PANGO_SCALE));
    attributes.insert(spacing);
  }
  // Monospaced digits keep the time from jumping sideways as it counts.
  auto digits = Pango::Attribute::create_attr_font_features("tnum");
  attributes.insert(digits);
  label.set_attributes(attributes);
}

}  // namespace

ClockGreeting::ClockGreeting(const PreferencesModel& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 4), preferences_(preferences) {
  set_name("ClockGreeting");
  date_.set_name("ClockDate");
  time_.set_name("ClockTime");
  greeting_.set_name("ClockGreetingLine");
  set_halign(Gtk::Align::CENTER);
  styleLabel(date_, 13, Pango::Weight::SEMIBOLD, 1.2);
  styleLabel(time_, kTimePoints, Pango::Weight::THIN);
  styleLabel(greeting_, 22, Pango::Weight::MEDIUM);
  // Faded by the style sheet, which lifts the fade over a picture: faded there, their dark halo
  // would fade with them.
  date_.add_css_class("start-secondary");
  greeting_.add_css_class("start-secondary");
  for (Gtk::Label* label : {&date_, &time_, &greeting_}) {
    label->set_justify(Gtk::Justification::CENTER);
    append(*label);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
  scheduleNextMinute();
}

ClockGreeting::~ClockGreeting() { tick_.disconnect(); }

void ClockGreeting::setCompact(bool compact) {
  styleLabel(time_, compact ? kCompactTimePoints : kTimePoints, Pango::Weight::THIN);
}

void ClockGreeting::sync() {
  const AppPreferences& prefs = preferences_.prefs();
  const LocalTime now = localTimeNow();
  date_.set_visible(prefs.showDate);
  time_.set_visible(prefs.showClock);
  greeting_.set_visible(prefs.showGreeting);
  // The language is read on every refresh, so a change shows up at the next one.
  if (prefs.showDate) date_.set_text(dateLineText(now, L10n::isEnglish()));
  if (prefs.showClock) time_.set_text(clockText(now.hour, now.minute, prefs.use24Hour));
  if (prefs.showGreeting) {
    greeting_.set_text(greetingText(now.hour, prefs.effectiveGreetingName()));
  }
}

void ClockGreeting::scheduleNextMinute() {
  using namespace std::chrono;
  const auto sinceMinute =
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()) % minutes(1);
  const unsigned delay = unsigned((minutes(1) - sinceMinute).count()) + 5;
  tick_ = Glib::signal_timeout().connect(
      [this] {
        sync();
        scheduleNextMinute();
        return false;
      },
      delay);
}

}  // namespace zemblo
