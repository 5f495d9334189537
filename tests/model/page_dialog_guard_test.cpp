#include "model/page_dialog_guard.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zemblo
