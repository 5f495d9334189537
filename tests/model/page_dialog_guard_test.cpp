#include "model/page_dialog_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "model/localization.h"
#include "model/page_dialogs.h"
#include "platform/text.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

Url at(const char* address) { return *Url::parse(address); }

TEST(PageDialogGuardTest, AStoppedSiteStaysStoppedUntilTheUserTakesTheTabElsewhere) {
  PageDialogGuard guard;
  const PageDialogGuard::TimePoint start;
  guard.pageCommitted(at("https://www.nag.example/a"), true);
  EXPECT_FALSE(guard.offersToStop(start));
  guard.dialogEnded(start, false);
  EXPECT_TRUE(guard.offersToStop(start + 4s));
  EXPECT_FALSE(guard.offersToStop(start + 5s));
  guard.dialogEnded(start + 4s, true);
  EXPECT_FALSE(guard.allowsDialog());

  // The page's own moves, to its site or away and back, and the user's load of the same site.
  guard.pageCommitted(at("https://nag.example/b"), false);
  EXPECT_FALSE(guard.allowsDialog());
  guard.pageCommitted(at("https://elsewhere.example/"), false);
  EXPECT_TRUE(guard.allowsDialog());
  // Another site's first dialog makes no offer, however soon it comes.
  EXPECT_FALSE(guard.offersToStop(start + 4s));
  guard.pageCommitted(at("https://login.nag.example/"), false);
  EXPECT_FALSE(guard.allowsDialog());
  guard.pageCommitted(at("https://nag.example/"), true);
  EXPECT_FALSE(guard.allowsDialog());

  guard.pageCommitted(at("https://other.example/"), true);
  guard.pageCommitted(at("https://nag.example/"), false);
  EXPECT_TRUE(guard.allowsDialog());
}

// A page's texts reach the dialog cut to what it can lay out at once, saying that they go on, and
// its heading names an embedded page beside the site.
TEST(PageDialogsTest, TextsAreCutWithAnEllipsisAndTheHeadingNamesWhoAsks) {
  PageDialogs dialogs;
  dialogs.open({.message = std::string(2 << 20, 'X'), .defaultText = std::string(1 << 20, 'X')},
               [](const PageDialogAnswer&) {});
  const std::string kept = std::string(PageDialogs::kShownCharacters, 'X') + "…";
  EXPECT_EQ(dialogs.pending.peek()->message + dialogs.pending.peek()->defaultText, kept + kept);
  EXPECT_EQ(shownPageText("one\r\ntwo\nthree", 100, 2), "one\r\ntwo…");
  // Never inside a character: "é" as e and its accent, and one letter with a megabyte of accents.
  EXPECT_EQ(shownPageText("abe\xcc\x81", 3, 2), "ab…");
  std::string accents = "a";
  for (int mark = 0; mark < (1 << 19); ++mark) accents += "\xcc\x81";
  EXPECT_EQ(codePointCount(shownPageText(accents, 10, 2)), 11u);

  L10n::setEnglish(true);
  EXPECT_EQ(dialogHeading({DialogSource::Kind::embedded, "top.test", "inner-evil.test"}),
            "An embedded page on top.test (inner-evil.test) says");
  EXPECT_EQ(dialogHeading({DialogSource::Kind::unknown, "top.test"}), "This page says");
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
