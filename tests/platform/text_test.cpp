#include "platform/text.h"

#include <gtest/gtest.h>

#include <clocale>

#include "platform/uuid.h"

namespace zemblo {
namespace {

TEST(Text, CaseMappingIgnoresATurkishLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_ALL, "tr_TR.UTF-8");  // may be missing; the rules must not care either way
  EXPECT_EQ(asciiLowercased("WWW.EXAMPLE.COM"), "www.example.com");
  EXPECT_EQ(unicodeLowercased("ISTANBUL.ÇAĞ"), "istanbul.çağ");
  EXPECT_EQ(unicodeLowercased("İ"), "i\u0307");
  EXPECT_EQ(unicodeUppercased("nisan"), "NISAN");
  EXPECT_EQ(unicodeUppercased("straße ﬁ"), "STRASSE FI");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Text, TrimsUnicodeWhitespaceOrOnlySpacesAndTabs) {
  EXPECT_EQ(trimmedWhitespaceAndNewlines("\u00A0\t example.com \n\u2028"), "example.com");
  EXPECT_EQ(trimmedWhitespaceAndNewlines(" \n "), "");
  EXPECT_EQ(trimmedSpacesAndTabs("\t Ada \t"), "Ada");
  EXPECT_EQ(trimmedSpacesAndTabs("\nAda\n"), "\nAda\n");
}

TEST(Text, CountsCodePoints) {
  EXPECT_EQ(codePointCount("çağ"), 3u);
  EXPECT_EQ(codePointCount(""), 0u);
}

// A NUL is valid text, but one handed on as a C string would cut it short.
TEST(Text, BrokenUtf8BecomesReplacementCharactersAndNulOnlyWhereItCannotBeKept) {
  const std::string withNul("ç\0b", 4);
  const std::string broken = withNul + char(0xC3);
  EXPECT_TRUE(isValidUtf8(withNul));
  EXPECT_FALSE(isValidUtf8(broken));
  EXPECT_FALSE(isValidUtf8(std::string(1, char(0xC3)) + '\0'));
  EXPECT_EQ(validUtf8(broken), "ç\uFFFDb\uFFFD");
  EXPECT_EQ(validUtf8(broken, NulCharacter::kept), withNul + "\uFFFD");
}

TEST(Uuids, AreUpperCaseAndParsedInEitherCase) {
  const Uuid id = Uuid::random();
  EXPECT_EQ(id.str().size(), 36u);
  EXPECT_EQ(id.str(), asciiUppercased(id.str()));
  EXPECT_EQ(Uuid::parse(asciiLowercased(id.str())), id);
  EXPECT_FALSE(Uuid::parse("not-a-uuid").has_value());
  EXPECT_FALSE(Uuid::parse("").has_value());
  EXPECT_NE(Uuid::random(), Uuid::random());
}

}  // namespace
}  // namespace zemblo
