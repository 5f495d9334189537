#include "model/clock_greeting_rules.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {
namespace {

constexpr std::array<std::string_view, 7> kEnglishWeekdays{
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kEnglishMonths{
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kTurkishWeekdays{
    "Pazar", "Pazartesi", "Salı", "Çarşamba", "Perşembe", "Cuma", "Cumartesi"};
constexpr std::array<std::string_view, 12> kTurkishMonths{"Ocak",  "Şubat",   "Mart",   "Nisan",
                                                          "Mayıs", "Haziran", "Temmuz", "Ağustos",
                                                          "Eylül", "Ekim",    "Kasım",  "Aralık"};

template <size_t N>
std::string_view entry(const std::array<std::string_view, N>& names, int index) {
  return names[size_t(((index % int(N)) + int(N)) % int(N))];
}

}  // namespace

LocalTime localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_wday, parts.tm_mday, parts.tm_mon, parts.tm_hour, parts.tm_min};
}

std::string_view greetingKey(int hour) {
  if (hour >= 5 && hour <= 11) return "Günaydın";
  if (hour >= 12 && hour <= 17) return "İyi günler";
  if (hour >= 18 && hour <= 22) return "İyi akşamlar";
  return "İyi geceler";
}

std::string greetingText(int hour, std::string_view name) {
  std::string text = localized(greetingKey(hour));
  if (!name.empty()) text.append(", ").append(name);
  return text;
}

std::string clockText(int hour, int minute, bool use24Hour) {
  char buffer[8];
  if (use24Hour) {
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", hour, minute);
  } else {
    const int twelve = hour % 12 == 0 ? 12 : hour % 12;
    std::snprintf(buffer, sizeof buffer, "%d:%02d", twelve, minute);
  }
  return buffer;
}

std::string dateLineText(const LocalTime& time, bool english) {
  std::string text;
  const std::string day = std::to_string(time.day);
  if (english) {
    text.append(entry(kEnglishWeekdays, time.weekday)).append(", ");
    text.append(entry(kEnglishMonths, time.month)).append(" ").append(day);
  } else {
    text.append(day).append(" ").append(entry(kTurkishMonths, time.month)).append(" ");
    text.append(entry(kTurkishWeekdays, time.weekday));
  }
  return uppercasedForLanguage(text, !english);
}

std::string uppercasedForLanguage(std::string_view text, bool turkish) {
  if (!turkish) return unicodeUppercased(text);
  // The two Turkish i's are mapped first; the language-independent rules leave the results alone.
  std::string mapped;
  mapped.reserve(text.size() + 4);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 'i') {
      mapped.append("İ");
    } else if (text.compare(i, 2, "ı") == 0) {
      mapped.push_back('I');
      ++i;
    } else {
      mapped.push_back(text[i]);
    }
  }
  return unicodeUppercased(mapped);
}

}  // namespace zemblo
