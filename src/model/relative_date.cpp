#include "model/relative_date.h"

#include <glib.h>

#include <array>
#include <cmath>
#include <string_view>

namespace zemblo {
namespace {

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 12> kTurkishMonths = {
    "Oca", "Şub", "Mar", "Nis", "May", "Haz", "Tem", "Ağu", "Eyl", "Eki", "Kas", "Ara"};

struct LocalTime {
  int year, month, day;
  double secondOfDay;
};

LocalTime localTime(Date date) {
  GDateTime* time = g_date_time_new_from_unix_local(gint64(std::floor(date.unixSeconds())));
  if (!time) return {2001, 1, 1, 0};
  const LocalTime local{g_date_time_get_year(time), g_date_time_get_month(time),
                        g_date_time_get_day_of_month(time),
                        g_date_time_get_hour(time) * 3600.0 + g_date_time_get_minute(time) * 60.0 +
                            g_date_time_get_second(time)};
  g_date_time_unref(time);
  return local;
}

// Whole calendar months from `earlier` to `later`.
long long monthsBetween(Date earlier, Date later) {
  const LocalTime a = localTime(earlier);
  const LocalTime b = localTime(later);
  long long months = (b.year - a.year) * 12LL + (b.month - a.month);
  if (b.day < a.day || (b.day == a.day && b.secondOfDay < a.secondOfDay)) --months;
  return months;
}

enum class Unit { second, minute, hour, day, week, month, year };

struct UnitNames {
  std::string_view englishOne, englishMany, turkish;
  std::string_view englishLast, englishNext, turkishLast, turkishNext;
};

UnitNames namesOf(Unit unit) {
  switch (unit) {
    case Unit::second:
      return {"second", "seconds", "saniye", {}, {}, {}, {}};
    case Unit::minute:
      return {"minute", "minutes", "dakika", {}, {}, {}, {}};
    case Unit::hour:
      return {"hour", "hours", "saat", {}, {}, {}, {}};
    case Unit::day:
      return {"day", "days", "gün", "yesterday", "tomorrow", "dün", "yarın"};
    case Unit::week:
      return {"week", "weeks", "hafta", "last week", "next week", "geçen hafta", "gelecek hafta"};
    case Unit::month:
      return {"month", "months", "ay", "last month", "next month", "geçen ay", "gelecek ay"};
    case Unit::year:
      return {"year", "years", "yıl", "last year", "next year", "geçen yıl", "gelecek yıl"};
  }
  return {};
}

std::string phrase(Unit unit, long long count, bool past, bool english) {
  const UnitNames names = namesOf(unit);
  if (count == 1) {
    const std::string_view named = english ? (past ? names.englishLast : names.englishNext)
                                           : (past ? names.turkishLast : names.turkishNext);
    if (!named.empty()) return std::string(named);
  }
  const std::string number = std::to_string(count) + " ";
  if (!english) return number + std::string(names.turkish) + (past ? " önce" : " sonra");
  const std::string name(count == 1 ? names.englishOne : names.englishMany);
  return past ? number + name + " ago" : "in " + number + name;
}

}  // namespace

std::string formattedDay(Date date, bool english) {
  const LocalTime local = localTime(date);
  const std::string month(english ? kEnglishMonths[size_t(local.month - 1)]
                                  : kTurkishMonths[size_t(local.month - 1)]);
  const std::string day = std::to_string(local.day);
  const std::string year = std::to_string(local.year);
  return english ? month + " " + day + ", " + year : day + " " + month + " " + year;
}

std::string relativeDateText(Date date, Date now, bool english) {
  const bool past = date <= now;
  const Date earlier = past ? date : now;
  const Date later = past ? now : date;
  const auto seconds = (long long)(later.secondsSince2001 - earlier.secondsSince2001);
  if (seconds == 0) return english ? "now" : "şimdi";
  const long long months = monthsBetween(earlier, later);
  if (months >= 12) return phrase(Unit::year, months / 12, past, english);
  if (months >= 1) return phrase(Unit::month, months, past, english);
  const long long days = seconds / 86400;
  if (days >= 7) return phrase(Unit::week, days / 7, past, english);
  if (days >= 1) return phrase(Unit::day, days, past, english);
  if (seconds >= 3600) return phrase(Unit::hour, seconds / 3600, past, english);
  if (seconds >= 60) return phrase(Unit::minute, seconds / 60, past, english);
  return phrase(Unit::second, seconds, past, english);
}

}  // namespace zemblo
