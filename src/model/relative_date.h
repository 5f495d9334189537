#pragma once

#include <string>

#include "platform/date.h"

// Dates as the passwords window words them, in English (United States) or Turkish, in the local
// time zone, without depending on which system locales are installed.
namespace zemblo {

// Day, abbreviated month and year in the language's order: "Mar 5, 2025", "5 Mar 2025".
std::string formattedDay(Date date, bool english);

// How long ago (or ahead) `date` is from `now`, in the largest whole unit with full unit names,
// naming the nearest ones: "now", "yesterday", "last week", "3 hours ago", "2 gün önce".
std::string relativeDateText(Date date, Date now, bool english);

}  // namespace zemblo
