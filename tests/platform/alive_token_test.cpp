#include "platform/alive_token.h"

#include <gtest/gtest.h>

namespace zemblo {
namespace {

TEST(AliveToken, WatchesExpireWithTheOwnerOrWhenItEndsEarly) {
  AliveToken::Watch kept;
  EXPECT_TRUE(kept.expired());
  {
    const AliveToken owner;
    kept = owner.watch();
    EXPECT_FALSE(AliveToken::Watch(kept).expired());
  }
  EXPECT_TRUE(kept.expired());

  AliveToken ending;
  const AliveToken::Watch early = ending.watch();
  ending.end();
  EXPECT_TRUE(early.expired());
}

}  // namespace
}  // namespace zemblo
