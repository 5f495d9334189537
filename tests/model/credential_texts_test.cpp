#include "model/credential_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "model/localization.h"
#include "model/relative_date.h"
#include "platform/text.h"

namespace zemblo {
namespace {

// Dates are worded in the local time zone; the tests pin it.
class CredentialTextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    savedZone_ = zone ? zone : "";
    hadZone_ = zone != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadZone_) {
      setenv("TZ", savedZone_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
    L10n::setEnglish(false);
  }

 private:
  std::string savedZone_;
  bool hadZone_ = false;
};

// 2025-03-05 12:00:00 UTC.
const Date kMarch5 = Date::fromUnixSeconds(1741176000);

TEST_F(CredentialTextsTest, PasswordMaskHidesTheLengthOutsideEightToSixteen) {
  const auto bullets = [](const std::string& password) {
    return userPerceivedCharacterStarts(maskedPassword(password)).size();
  };
  EXPECT_EQ(maskedPassword("abc"), "••••••••");
  EXPECT_EQ(bullets("twelve chars"), 12u);
  EXPECT_EQ(bullets(std::string(30, 'x')), 16u);
  // "é" written with a combining accent is one character.
  EXPECT_EQ(bullets("e\xCC\x81"
                    "e\xCC\x81"
                    "e\xCC\x81"
                    "abcdefghi"),
            12u);
}

TEST_F(CredentialTextsTest, DateLineShowsTheDayAddedOrHowLongAgoItWasUsed) {
  Credential credential;
  credential.created = kMarch5;
  L10n::setEnglish(true);
  EXPECT_EQ(credentialDateLine(credential, kMarch5), "Added: Mar 5, 2025");
  L10n::setEnglish(false);
  EXPECT_EQ(credentialDateLine(credential, kMarch5), "Eklendi: 5 Mar 2025");
  credential.lastUsed = Date{kMarch5.secondsSince2001 - 26 * 3600};
  EXPECT_EQ(credentialDateLine(credential, kMarch5), "Son kullanım: dün");
  L10n::setEnglish(true);
  EXPECT_EQ(credentialDateLine(credential, kMarch5), "Last used: yesterday");
}

TEST_F(CredentialTextsTest, RelativeDatesNameTheNearestUnits) {
  const auto ago = [](double seconds, bool english) {
    return relativeDateText(Date{kMarch5.secondsSince2001 - seconds}, kMarch5, english);
  };
  EXPECT_EQ(ago(0, true), "now");
  EXPECT_EQ(ago(1, true), "1 second ago");
  EXPECT_EQ(ago(3 * 3600 + 5, true), "3 hours ago");
  EXPECT_EQ(ago(3 * 86400, true), "3 days ago");
  EXPECT_EQ(ago(8 * 86400, true), "last week");
  EXPECT_EQ(ago(20 * 86400, false), "2 hafta önce");
  EXPECT_EQ(ago(40 * 86400, false), "geçen ay");
  EXPECT_EQ(ago(800 * 86400, true), "2 years ago");
  EXPECT_EQ(ago(-2 * 86400, true), "in 2 days");
  EXPECT_EQ(ago(-86400, false), "yarın");
}

TEST_F(CredentialTextsTest, OpeningASiteUsesTheAddressOnlyWhenItHasAScheme) {
  Credential credential;
  credential.host = "example.test";
  credential.url = "http://example.test:8080/login";
  EXPECT_EQ(credentialSiteAddress(credential)->str(), "http://example.test:8080/login");
  credential.url = "example.test/login";
  EXPECT_EQ(credentialSiteAddress(credential)->str(), "https://example.test");
}

}  // namespace
}  // namespace zemblo
