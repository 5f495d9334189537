#include "model/clock_greeting_rules.h"

#include <gtest/gtest.h>

#include "model/localization.h"
#include "support/interface_language.h"

namespace zemblo {
namespace {

using Language = testing::InterfaceLanguage;

TEST(ClockGreetingRules, GreetingChangesAtTheEdgesOfEachPartOfTheDay) {
  Language english(true);
  const std::pair<int, const char*> cases[] = {
      {4, "Good night"},      {5, "Good morning"},    {11, "Good morning"},
      {12, "Good afternoon"}, {17, "Good afternoon"}, {18, "Good evening"},
      {22, "Good evening"},   {23, "Good night"},     {0, "Good night"}};
  for (const auto& [hour, text] : cases) EXPECT_EQ(greetingText(hour, ""), text) << hour;
}

TEST(ClockGreetingRules, GreetingAddsTheNameOnlyWhenThereIsOne) {
  {
    Language english(true);
    EXPECT_EQ(greetingText(9, "Ada"), "Good morning, Ada");
    EXPECT_EQ(greetingText(9, ""), "Good morning");
  }
  Language turkish(false);
  EXPECT_EQ(greetingText(20, "Ada"), "İyi akşamlar, Ada");
  EXPECT_EQ(greetingText(3, ""), "İyi geceler");
}

TEST(ClockGreetingRules, ClockUsesTwoDigitHoursOnlyOnTheTwentyFourHourClock) {
  EXPECT_EQ(clockText(9, 5, true), "09:05");
  EXPECT_EQ(clockText(21, 5, true), "21:05");
  EXPECT_EQ(clockText(0, 0, true), "00:00");
  // Morning and evening look alike: no day-period marker.
  EXPECT_EQ(clockText(9, 5, false), "9:05");
  EXPECT_EQ(clockText(21, 5, false), "9:05");
  EXPECT_EQ(clockText(0, 30, false), "12:30");
  EXPECT_EQ(clockText(12, 0, false), "12:00");
}

TEST(ClockGreetingRules, DateLineInEachLanguagesOrderAndCapitals) {
  // Tuesday, 7 April.
  const LocalTime april{2, 7, 3, 10, 0};
  EXPECT_EQ(dateLineText(april, true), "TUESDAY, APRIL 7");
  EXPECT_EQ(dateLineText(april, false), "7 NİSAN SALI");
  // Dotted and dotless i both occur in Turkish names.
  EXPECT_EQ(dateLineText({0, 21, 5, 0, 0}, false), "21 HAZİRAN PAZAR");
  EXPECT_EQ(dateLineText({3, 1, 9, 0, 0}, false), "1 EKİM ÇARŞAMBA");
  EXPECT_EQ(dateLineText({5, 13, 10, 0, 0}, false), "13 KASIM CUMA");
  EXPECT_EQ(dateLineText({6, 31, 11, 0, 0}, true), "SATURDAY, DECEMBER 31");
}

TEST(ClockGreetingRules, TurkishUpperCasingKeepsTheTwoIsApart) {
  EXPECT_EQ(uppercasedForLanguage("nisan ılık şişli", true), "NİSAN ILIK ŞİŞLİ");
  EXPECT_EQ(uppercasedForLanguage("nisan", false), "NISAN");
  // Letters that need more than one capital still follow the general rules.
  EXPECT_EQ(uppercasedForLanguage("straße", true), "STRASSE");
}

}  // namespace
}  // namespace zemblo
