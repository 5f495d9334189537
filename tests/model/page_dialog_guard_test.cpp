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

// The tab's dialogs keep the guard's time: an alert answered with the stop counts like any
// other dialog's end.
TEST(PageDialogGuardTest, AStoppedSiteStaysStoppedUntilTheUserTakesTheTabElsewhere) {
  PageDialogGuard::TimePoint now;
  PageDialogs dialogs([&] { return now; });
  dialogs.pageCommitted(at("https://www.nag.example/a"), true);
  EXPECT_FALSE(dialogs.offersToStop());
  dialogs.dialogEnded(false);
  now += 5s;
  EXPECT_FALSE(dialogs.offersToStop());
  now -= 1s;
  dialogs.open({}, [](const PageDialogAnswer&) {});
  EXPECT_TRUE(dialogs.pending.peek()->offersToStop);
  dialogs.answer({.stopAsking = true});
  EXPECT_FALSE(dialogs.allowsDialog());

  // The page's own moves, to its site or away and back, and the user's load of the same site.
  dialogs.pageCommitted(at("https://nag.example/b"), false);
  EXPECT_FALSE(dialogs.allowsDialog());
  dialogs.pageCommitted(at("https://elsewhere.example/"), false);
  EXPECT_TRUE(dialogs.allowsDialog());
  // Another site's first dialog makes no offer, however soon it comes.
  EXPECT_FALSE(dialogs.offersToStop());
  dialogs.pageCommitted(at("https://login.nag.example/"), false);
  EXPECT_FALSE(dialogs.allowsDialog());
  dialogs.pageCommitted(at("https://nag.example/"), true);
  EXPECT_FALSE(dialogs.allowsDialog());

  dialogs.pageCommitted(at("https://other.example/"), true);
  dialogs.pageCommitted(at("https://nag.example/"), false);
  EXPECT_TRUE(dialogs.allowsDialog());
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
