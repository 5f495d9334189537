#pragma once

#include <compare>

namespace zemblo {

// A point in time as the session files store it: seconds since 2001-01-01 00:00:00 UTC.
struct Date {
  double secondsSince2001 = 0;

  static Date now();
  static Date fromUnixSeconds(double unixSeconds) { return Date{unixSeconds - kUnixOffset}; }
  double unixSeconds() const { return secondsSince2001 + kUnixOffset; }

  friend bool operator==(const Date&, const Date&) = default;
  friend auto operator<=>(const Date&, const Date&) = default;

  static constexpr double kUnixOffset = 978307200.0;
};

}  // namespace zemblo
