#pragma once

#include <string>
#include <string_view>

// The texts of the start page's clock block, as pure functions of the time and the language so
// that they can be checked without a display.
namespace zemblo {

// A moment in local time, split the way the block needs it.
struct LocalTime {
  int weekday = 0;  // 0 is Sunday
  int day = 1;      // day of the month, from 1
  int month = 0;    // 0 is January
  int hour = 0;
  int minute = 0;
};

// The current local time of the machine.
LocalTime localTimeNow();

// The Turkish key of the greeting for the hour: morning from 5, afternoon from 12, evening from
// 18, night from 23 until 4.
std::string_view greetingKey(int hour);
// The localised greeting, followed by ", " and the name when the name is not empty.
std::string greetingText(int hour, std::string_view name);
// "HH:mm" on a 24-hour clock, else "h:mm" without a day-period marker.
std::string clockText(int hour, int minute, bool use24Hour);
// The weekday, day and month in the order and punctuation each language gives them ("Tuesday,
// April 7" or "7 Nisan Salı"), upper-cased by that language's rules.
std::string dateLineText(const LocalTime& time, bool english);
// Upper-casing that keeps the dotted and dotless i apart when `turkish` (i → İ, ı → I);
// otherwise the language-independent rules.
std::string uppercasedForLanguage(std::string_view text, bool turkish);

}  // namespace zemblo
