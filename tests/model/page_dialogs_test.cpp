#include "model/page_dialogs.h"

#include <gtest/gtest.h>

#include <string>

#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {
namespace {

// A page's texts reach the dialog cut to what it can lay out at once, and say that they go on.
TEST(PageDialogsTest, APagesTextsAreCutWithAnEllipsisToWhatTheDialogShows) {
  PageDialogs dialogs;
  PageDialog asked{.heading = "127.0.0.1",
                   .message = std::string(2 << 20, 'X'),
                   .defaultText = std::string(1 << 20, 'y')};
  for (int line = 0; line < 30; ++line) asked.heading += "\nline";
  dialogs.open(asked, [](const PageDialogAnswer&) {});
  const PageDialog& shown = *dialogs.pending.peek();
  EXPECT_EQ(shown.message, std::string(PageDialogs::kShownCharacters, 'X') + "…");
  EXPECT_EQ(shown.defaultText, std::string(PageDialogs::kShownCharacters, 'y') + "…");
  EXPECT_EQ(shown.heading, "127.0.0.1\nline…");

  EXPECT_EQ(shownPageText("one\r\ntwo\nthree", 100, 2), "one\r\ntwo…");
  EXPECT_EQ(shownPageText("one\ntwo\n", 100, 2), "one\ntwo\n");
  EXPECT_EQ(shownPageText("ab\xff"
                          "cd",
                          100, 2),
            "ab…");
  // Never inside a character: "é" as e and its accent, and one letter with a megabyte of accents.
  EXPECT_EQ(shownPageText("abe\xcc\x81", 3, 2), "ab…");
  std::string accents = "a";
  for (int mark = 0; mark < (1 << 19); ++mark) accents += "\xcc\x81";
  EXPECT_EQ(codePointCount(shownPageText(accents, 10, 2)), 11u);
}

// An embedded page is named beside the site in both languages; a source or a page without a
// host (a file) names no one.
TEST(PageDialogsTest, TheHeadingNamesWhoAsks) {
  using Kind = DialogSource::Kind;
  L10n::setEnglish(true);
  EXPECT_EQ(dialogHeading({Kind::embedded, "top.test", "inner-evil.test"}),
            "An embedded page on top.test (inner-evil.test) says");
  EXPECT_EQ(dialogHeading({Kind::unknown, "top.test"}), "This page says");
  L10n::setEnglish(false);
  EXPECT_EQ(dialogHeading({Kind::embedded, "top.test", "inner-evil.test"}),
            "top.test üzerindeki gömülü bir sayfa (inner-evil.test) diyor ki");
  EXPECT_EQ(dialogHeading({Kind::page, ""}), "Bu sayfa diyor ki");
}

}  // namespace
}  // namespace zemblo
