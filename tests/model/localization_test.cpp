#include "model/localization.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include <array>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/localization_table.h"

namespace zemblo {
namespace {

constexpr std::string_view kSingularSuffix = "|one";

size_t placeholderCount(std::string_view text) {
  size_t count = 0;
  for (size_t at = text.find("%@"); at != std::string_view::npos; at = text.find("%@", at + 2)) {
    ++count;
  }
  return count;
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Clears the variables GLib builds the preferred-language list from, and puts them back.
class LanguageEnvironment {
 public:
  LanguageEnvironment() {
    for (size_t i = 0; i < kNames.size(); ++i) {
      const char* value = std::getenv(kNames[i]);
      saved_[i] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
      unsetenv(kNames[i]);
    }
  }
  ~LanguageEnvironment() {
    for (size_t i = 0; i < kNames.size(); ++i) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }
  LanguageEnvironment(const LanguageEnvironment&) = delete;
  LanguageEnvironment& operator=(const LanguageEnvironment&) = delete;

  // Leaves only `name` set, to `value`.
  void only(const char* name, const char* value) {
    for (const char* each : kNames) unsetenv(each);
    setenv(name, value, 1);
  }

 private:
  static constexpr std::array<const char*, 4> kNames = {"LANGUAGE", "LC_ALL", "LC_MESSAGES",
                                                        "LANG"};
  std::array<std::optional<std::string>, 4> saved_;
};

// Collects failed checks inside a child process, where gtest assertions cannot report back.
class ChildChecks {
 public:
  void expect(bool ok, std::string_view what) {
    if (!ok) failures_.emplace_back(what);
  }
  [[noreturn]] void finish() const {
    for (const std::string& failure : failures_) {
      std::fprintf(stderr, "failed: %s\n", failure.c_str());
    }
    std::exit(failures_.empty() ? 0 : 1);
  }

 private:
  std::vector<std::string> failures_;
};

// Both the flag and the table are set up once per process, and other suites in this binary
// switch to English, so the first-use behaviour is checked in a freshly started copy of the
// binary that runs only that test.
class LocalizationDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void turkishRunThenSwitchToEnglish() {
  LanguageEnvironment environment;
  environment.only("LANGUAGE", "tr_TR");
  ChildChecks checks;
  checks.expect(!L10n::isEnglish(), "the flag starts from the Turkish system language");
  checks.expect(localized("Yeni Sekme") == "Yeni Sekme", "a key stays Turkish");
  checks.expect(localized("%@ sekme", 1) == "1 sekme", "Turkish count text");
  checks.expect(percentText(0.125) == "%13", "Turkish percent");
  checks.expect(!L10n::tableIsBuilt(), "Turkish lookups leave the table unbuilt");

  L10n::setEnglish(true);
  checks.expect(localized("Yeni Sekme") == "New Tab", "the next lookup after switching is English");
  checks.expect(L10n::tableIsBuilt(), "the first English lookup builds the table");
  checks.finish();
}

void writerBeforeFirstRead() {
  LanguageEnvironment environment;
  environment.only("LANGUAGE", "tr_TR");
  ChildChecks checks;
  L10n::setEnglish(true);
  checks.expect(L10n::isEnglish(), "the system rule does not overwrite an earlier write");
  checks.finish();
}

TEST_F(LocalizationDeathTest, TurkishNeverBuildsTheTableUntilEnglishIsChosen) {
  EXPECT_EXIT(turkishRunThenSwitchToEnglish(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LocalizationDeathTest, FirstWriteWinsOverTheSystemLanguage) {
  EXPECT_EXIT(writerBeforeFirstRead(), ::testing::ExitedWithCode(0), "");
}

TEST(LocalizationTable, HoldsEveryKeyOnce) {
  const auto pairs = localizationPairs();
  ASSERT_GE(pairs.size(), 386u);
  std::set<std::string_view> keys;
  for (const LocalizationPair& pair : pairs) {
    EXPECT_TRUE(keys.insert(pair.turkish).second) << "repeated key: " << pair.turkish;
    EXPECT_FALSE(pair.english.empty()) << pair.turkish;
  }
  ASSERT_EQ(keys.size(), pairs.size());
  EXPECT_EQ(localizationTableSize(), pairs.size());
}

TEST(LocalizationTable, EveryEntryOfTheFileIsTwoTexts) {
  EXPECT_THAT(LocalizationTable::builtIn().unreadable(), ::testing::IsEmpty());
  // What that catches: an entry short of two texts is told, and the others still read.
  const LocalizationTable damaged(R"([["Evet", "Yes"], ["Hayır"], ["Tamam", ""], 3] // end)");
  ASSERT_EQ(damaged.pairs().size(), 1u);
  EXPECT_EQ(damaged.pairs()[0].english, "Yes");
  EXPECT_THAT(damaged.unreadable(), ::testing::ElementsAre(R"(["Hayır"])", R"(["Tamam",""])", "3"));
  EXPECT_THAT(LocalizationTable("[[").unreadable(), ::testing::SizeIs(1));
}

TEST(LocalizationTable, EnglishKeepsPlaceholdersAndTrailingBlanks) {
  for (const LocalizationPair& pair : localizationPairs()) {
    EXPECT_EQ(placeholderCount(pair.english), placeholderCount(pair.turkish)) << pair.turkish;
    EXPECT_EQ(pair.english.ends_with(' '), pair.turkish.ends_with(' ')) << pair.turkish;
  }
}

TEST(LocalizationTable, SingularKeysStandBesideTheirPluralKey) {
  std::set<std::string_view> keys;
  for (const LocalizationPair& pair : localizationPairs()) keys.insert(pair.turkish);

  size_t singularCount = 0;
  for (const LocalizationPair& pair : localizationPairs()) {
    if (!pair.turkish.ends_with(kSingularSuffix)) continue;
    ++singularCount;
    const std::string_view base =
        pair.turkish.substr(0, pair.turkish.size() - kSingularSuffix.size());
    EXPECT_TRUE(keys.contains(base)) << "no plural key for " << pair.turkish;
    EXPECT_EQ(placeholderCount(base), 1u) << pair.turkish;
  }
  EXPECT_EQ(singularCount, 6u);
}

TEST(LocalizationTable, TextsNameLinuxCounterparts) {
  // The Safari steps describe an export done on a Mac, so they alone may name it.
  const std::set<std::string_view> safariSteps = {
      "Şifreler uygulamasını aç (eski macOS'ta Safari › Ayarlar › Parolalar).",
      "Touch ID ya da Mac parolanla onayla ve CSV dosyasını kaydet."};
  for (const LocalizationPair& pair : localizationPairs()) {
    for (const std::string_view text : {pair.turkish, pair.english}) {
      for (const std::string_view glyph : {"⌘", "⌥", "⇧"}) {
        EXPECT_FALSE(contains(text, glyph)) << text;
      }
      for (const std::string_view name : {"Anahtar Zinciri", "Keychain", "Finder"}) {
        EXPECT_FALSE(contains(text, name)) << text;
      }
      if (!safariSteps.contains(pair.turkish)) {
        EXPECT_FALSE(contains(text, "Mac") || contains(text, "Touch ID")) << text;
      }
    }
  }
}

class LocalizationLookup : public ::testing::Test {
 protected:
  void SetUp() override { wasEnglish_ = L10n::isEnglish(); }
  void TearDown() override { L10n::setEnglish(wasEnglish_); }

 private:
  bool wasEnglish_ = false;
};

TEST_F(LocalizationLookup, TurkishReturnsEveryKeyUnchanged) {
  L10n::setEnglish(false);
  for (const LocalizationPair& pair : localizationPairs()) {
    EXPECT_EQ(localized(pair.turkish), pair.turkish);
  }
}

TEST_F(LocalizationLookup, EnglishMatchesExactKeysOnly) {
  L10n::setEnglish(true);
  EXPECT_EQ(localized("Yeni Sekme"), "New Tab");
  EXPECT_EQ(localized("Yeni sekme"), "New tab");
  EXPECT_EQ(localized("Sayfada Bul…"), "Find in Page…");
  EXPECT_EQ(localized("Son kullanım: "), "Last used: ");
  EXPECT_EQ(localized("\"%@\" silinsin mi?"), "Delete \"%@\"?");
  EXPECT_EQ(localized("Dosya yöneticisinde göster"), "Show in File Manager");
  EXPECT_EQ(localized("Yeni sekme (Ctrl+T)"), "New tab (Ctrl+T)");

  EXPECT_EQ(localized("Son kullanım:"), "Son kullanım:");
  EXPECT_EQ(localized("Example Domain"), "Example Domain");
  EXPECT_EQ(localized(""), "");
}

TEST_F(LocalizationLookup, CountTextsUseTheSingularOnlyForOneInEnglish) {
  L10n::setEnglish(true);
  EXPECT_EQ(localized("%@ sekme", 1), "1 tab");
  EXPECT_EQ(localized("%@ sekme", 0), "0 tabs");
  EXPECT_EQ(localized("%@ sekme", 2), "2 tabs");
  EXPECT_EQ(localized("%@ şifre anahtarlığında", 1), "1 password in your keyring");
  EXPECT_EQ(localized("%@ şifre anahtarlığında", 1234), "1234 passwords in your keyring");
  EXPECT_EQ(localized("Sekme %@", 1), "Tab 1");
  EXPECT_EQ(localized("Bitti", 3), "Done");
  EXPECT_EQ(localized("%@ elma", 2), "2 elma");

  L10n::setEnglish(false);
  EXPECT_EQ(localized("%@ sekme", 1), "1 sekme");
  EXPECT_EQ(localized("%@ sekme", 7), "7 sekme");
  EXPECT_EQ(localized("%@ ve %@", 3), "3 ve %@");
}

TEST_F(LocalizationLookup, PercentRoundsHalvesAwayFromZero) {
  L10n::setEnglish(true);
  EXPECT_EQ(percentText(0.125), "13%");
  EXPECT_EQ(percentText(0.625), "63%");
  EXPECT_EQ(percentText(0), "0%");
  EXPECT_EQ(percentText(1), "100%");

  L10n::setEnglish(false);
  EXPECT_EQ(percentText(0.125), "%13");
  EXPECT_EQ(percentText(0), "%0");
  EXPECT_EQ(percentText(1), "%100");
}

TEST_F(LocalizationLookup, GroupedNumbersFollowTheLocaleNotTheInterfaceLanguage) {
  const DigitGrouping english{",", "\3"}, turkish{".", "\3\3"}, indian{",", "\3\2"};
  const DigitGrouping spaced{"\u202F", "\3"}, once{",", std::string("\3") + char(CHAR_MAX)};
  EXPECT_EQ(groupedNumber(133558, english), "133,558");
  EXPECT_EQ(groupedNumber(999, english), "999");
  EXPECT_EQ(groupedNumber(1000, english), "1,000");
  EXPECT_EQ(groupedNumber(0, english), "0");
  EXPECT_EQ(groupedNumber(-1234567, english), "-1,234,567");
  EXPECT_EQ(groupedNumber(std::numeric_limits<long long>::min(), english),
            "-9,223,372,036,854,775,808");
  EXPECT_EQ(groupedNumber(12345, turkish), "12.345");
  EXPECT_EQ(groupedNumber(123456789, indian), "12,34,56,789");
  EXPECT_EQ(groupedNumber(1234567, spaced), "1\u202F234\u202F567");
  EXPECT_EQ(groupedNumber(1234567, once), "1234,567");
  EXPECT_EQ(groupedNumber(1234567, DigitGrouping{}), "1234567");

  // The C locale groups nothing, in either language.
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "C"));
  for (bool english : {true, false}) {
    L10n::setEnglish(english);
    EXPECT_EQ(groupedNumber(133558), "133558");
  }
  EXPECT_EQ(withArgument(localized("EasyList ve EasyPrivacy · %@ kural"), groupedNumber(12345)),
            "EasyList ve EasyPrivacy · 12345 kural");
  EXPECT_EQ(withArgument("%@ üzerinde engelle", "a%@b"), "a%@b üzerinde engelle");
}

TEST(LocalizationSystemRule, TurkishOnlyWhenTheFirstLanguageStartsWithTr) {
  LanguageEnvironment environment;
  struct Case {
    const char* variable;
    const char* value;
    bool english;
  };
  const Case cases[] = {
      {"LANGUAGE", "tr_TR", false},   {"LANGUAGE", "tr", false},   {"LANGUAGE", "en_TR", true},
      {"LANGUAGE", "de", true},       {"LANGUAGE", "de:tr", true}, {"LC_ALL", "tr_TR.UTF-8", false},
      {"LANG", "tr_TR.UTF-8", false}, {"LC_ALL", "C", true},
  };
  for (const Case& each : cases) {
    environment.only(each.variable, each.value);
    EXPECT_EQ(systemLanguageIsEnglish(), each.english) << each.variable << "=" << each.value;
    EXPECT_EQ(isEnglish(AppLanguage::system), each.english) << each.variable << "=" << each.value;
    EXPECT_FALSE(isEnglish(AppLanguage::turkish));
    EXPECT_TRUE(isEnglish(AppLanguage::english));
  }
}

TEST(LocalizationSystemRule, NoLanguageSetMeansEnglish) {
  LanguageEnvironment environment;
  EXPECT_TRUE(systemLanguageIsEnglish());
}

}  // namespace
}  // namespace zemblo
