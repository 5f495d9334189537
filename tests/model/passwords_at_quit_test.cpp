// Quitting waits for the keyring's answers on the main loop, for a bounded time; a change it
// never took is told at the next start, once.
#include <gtest/gtest.h>

#include "model/password_store.h"
#include "platform/main_loop.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

class KeyringAtQuitTest : public testing::StoreFixture {
 protected:
  void startWithASavedLogin() {
    vault->deferAnswers = true;
    startStore({}, 0);
    vault->answerPending();  // the read
    store->passwords().upsert(
        {.host = "a.test", .url = "https://a.test/", .username = "ada", .password = "pw"});
    ASSERT_TRUE(store->passwords().awaitsKeyring());
  }
  std::vector<std::string> noticesOfNextStart() {
    store->finishWrites();
    store.reset();
    vault->deferAnswers = false;
    startStore({}, 0);
    return store->notices.peek();
  }
};

TEST_F(KeyringAtQuitTest, AWriteAnsweredOnTheMainLoopIsWaitedForAndNothingIsToldLater) {
  startWithASavedLogin();
  // The keyring answers on a later turn, as it does over D-Bus.
  runOnMainLoop([keyring = vault] { keyring->answerPending(); });
  const auto started = std::chrono::steady_clock::now();
  store->finishPasswordWrites(30s);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_FALSE(store->passwords().hasUnsavedChanges());
  EXPECT_NE(vault->stored.data.find("\"ada\""), std::string::npos);
  EXPECT_TRUE(noticesOfNextStart().empty());
}

TEST_F(KeyringAtQuitTest, AWriteTheKeyringNeverAnsweredIsToldOnceAtTheNextStart) {
  L10n::setEnglish(true);
  startWithASavedLogin();
  store->finishPasswordWrites(50ms);
  EXPECT_EQ(noticesOfNextStart(),
            std::vector<std::string>{
                "Your last password changes couldn't be written to the keyring when the browser "
                "quit. Check them in the Passwords window; you may need to save missing ones "
                "again."});
  EXPECT_TRUE(noticesOfNextStart().empty());
}

}  // namespace
}  // namespace zemblo
