#include "widgets/letter_icon.h"

#include <gtest/gtest.h>

#include "support/hsb_of.h"
#include "widgets/favicon_view.h"

namespace zemblo {
namespace {

// The fold written out independently: h = (h * 31 + scalar) mod 360 over the code points.
int expectedHue(std::u32string_view scalars) {
  int h = 0;
  for (const char32_t c : scalars) h = static_cast<int>((h * 31 + static_cast<long>(c)) % 360);
  return h;
}

TEST(LetterIconTest, InitialIsTheFirstCharacterUpperCasedWithoutOneLeadingWww) {
  EXPECT_EQ(LetterIcon::initial("example.com"), "E");
  EXPECT_EQ(LetterIcon::initial("www.example.com"), "E");
  EXPECT_EQ(LetterIcon::initial("www.www.example.com"), "W");
  // The prefix test is case-sensitive.
  EXPECT_EQ(LetterIcon::initial("WWW.example.com"), "W");
  EXPECT_EQ(LetterIcon::initial(""), "?");
  EXPECT_EQ(LetterIcon::initial("www."), "?");
  EXPECT_EQ(LetterIcon::initial("?"), "?");
  // Locale-independent upper-casing, multi-letter forms included.
  EXPECT_EQ(LetterIcon::initial("ıstanbul.example"), "I");
  EXPECT_EQ(LetterIcon::initial("istanbul.example"), "I");
  EXPECT_EQ(LetterIcon::initial("ßtraße.example"), "SS");
  EXPECT_EQ(LetterIcon::initial("ǆungla.example"), "Ǆ");
  // One user-perceived character: a letter with its combining mark stays whole.
  EXPECT_EQ(LetterIcon::initial("e\u0301cole.example"), "E\u0301");
  EXPECT_EQ(LetterIcon::initial("\U0001F1F9\U0001F1F7.example"), "\U0001F1F9\U0001F1F7");
  // Broken bytes do not derail it.
  EXPECT_EQ(LetterIcon::initial("\xff\xfe"), "\uFFFD");
}

TEST(LetterIconTest, HueFoldsEveryScalarAndIgnoresTheWwwPrefix) {
  EXPECT_EQ(LetterIcon::hue("?"), 63);
  EXPECT_EQ(LetterIcon::hue(""), 0);
  EXPECT_EQ(LetterIcon::hue("www."), 0);
  EXPECT_EQ(LetterIcon::hue("example.com"), expectedHue(U"example.com"));
  EXPECT_EQ(LetterIcon::hue("www.example.com"), LetterIcon::hue("example.com"));
  EXPECT_EQ(LetterIcon::initial("www.example.com"), LetterIcon::initial("example.com"));
  EXPECT_EQ(LetterIcon::hue("çay.example"), expectedHue(U"çay.example"));
  // Long names never overflow: every step stays below 360.
  const std::string longName(100000, 'z');
  EXPECT_EQ(LetterIcon::hue(longName), expectedHue(std::u32string(100000, U'z')));
  for (const char* name : {"a", "github.com", "\U0001F600", "münchen.de"}) {
    EXPECT_GE(LetterIcon::hue(name), 0) << name;
    EXPECT_LT(LetterIcon::hue(name), 360) << name;
  }
}

TEST(LetterIconTest, TileColoursShareTheHue) {
  const int hue = LetterIcon::hue("example.com");
  const Hsb top = testing::hsbOf(LetterIcon::topColor(hue));
  const Hsb bottom = testing::hsbOf(LetterIcon::bottomColor(hue));
  EXPECT_NEAR(top.hue, hue / 360.0, 1e-6);
  EXPECT_NEAR(top.saturation, 0.5, 1e-6);
  EXPECT_NEAR(top.brightness, 0.95, 1e-6);
  EXPECT_NEAR(bottom.hue, hue / 360.0, 1e-6);
  EXPECT_NEAR(bottom.saturation, 0.7, 1e-6);
  EXPECT_NEAR(bottom.brightness, 0.75, 1e-6);
  EXPECT_EQ(LetterIcon::topColor(0), Color::fromHsb({0, 0.5, 0.95}));
}

TEST(FaviconSourcesTest, HttpAddressesOnlyThenTheSitesConventionalIcon) {
  const auto url = [](const char* text) { return Url::parse(text); };
  EXPECT_TRUE(FaviconView::candidates(std::nullopt, std::nullopt).empty());
  EXPECT_EQ(FaviconView::candidates(std::nullopt, "example.com"),
            (std::vector<std::string>{"https://example.com/favicon.ico"}));
  EXPECT_EQ(FaviconView::candidates(url("http://cdn.example/i.png"), std::nullopt),
            (std::vector<std::string>{"http://cdn.example/i.png"}));
  EXPECT_EQ(FaviconView::candidates(url("http://cdn.example/i.png"), "www.example.com"),
            (std::vector<std::string>{"http://cdn.example/i.png",
                                      "https://www.example.com/favicon.ico"}));
  // The same address is tried once.
  EXPECT_EQ(FaviconView::candidates(url("https://example.com/favicon.ico"), "example.com"),
            (std::vector<std::string>{"https://example.com/favicon.ico"}));
  // Other schemes are never fetched.
  for (const char* other : {"data:image/png;base64,AAAA", "file:///tmp/i.png", "ftp://x/i.png"}) {
    EXPECT_EQ(FaviconView::candidates(url(other), "example.com"),
              (std::vector<std::string>{"https://example.com/favicon.ico"}))
        << other;
  }
  EXPECT_TRUE(FaviconView::candidates(std::nullopt, "").empty());
}

}  // namespace
}  // namespace zemblo
