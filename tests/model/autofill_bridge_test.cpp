#include "model/autofill_bridge.h"

#include <gtest/gtest.h>

#include <string>

#include "model/password_store.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

class AutofillBridgeTest : public testing::StoreFixture {
 protected:
  void SetUp() override { startStore({}, 0); }

  PasswordStore& passwords() { return store->passwords(); }
  Uuid save(const std::string& host, const std::string& url, const std::string& username,
            const std::string& password) {
    passwords().upsert(host, url, username, password, "", "", true);
    return passwords().credentials.peek().back().id;
  }
  std::string send(const std::string& type, const std::string& origin,
                   const std::string& more = "") {
    return store->autofill().reply(R"({"type":")" + type + R"(","origin":")" + origin + '"' + more +
                                   "}");
  }
  std::string submit(const std::string& origin, const std::string& username,
                     const std::string& password) {
    return send("submit", origin,
                R"(,"href":")" + origin + R"(/login?next=1","username":")" + username +
                    R"(","password":")" + password + '"');
  }
};

TEST_F(AutofillBridgeTest, QueryListsTheSitesLoginsToWebFramesOnlyAndNeverTheirPasswords) {
  const Uuid sub = save("login.example.com", "https://login.example.com", "ada", "secret1");
  const Uuid plain = save("example.com", "http://example.com", "bob", "secret2");
  save("other.com", "https://other.com", "eve", "secret3");

  const std::string answer = send("query", "https://www.example.com");
  EXPECT_EQ(answer, R"([{"id":")" + sub.str() +
                        R"(","username":"ada","host":"login.example.com"},)"
                        R"({"id":")" +
                        plain.str() + R"(","username":"bob","host":"example.com"}])");
  EXPECT_EQ(answer.find("secret"), std::string::npos);

  // A page without encryption is not told of a login saved on a secure one.
  EXPECT_EQ(send("query", "http://example.com"),
            R"([{"id":")" + plain.str() + R"(","username":"bob","host":"example.com"}])");
  EXPECT_EQ(send("query", "https://nothing.test"), "[]");

  for (const std::string origin : {"file://", "null", "about:blank", "https://www.",
                                   "ftp://example.com", "HTTPS://example.com"}) {
    EXPECT_EQ(send("query", origin), "null") << origin;
  }
  EXPECT_EQ(store->autofill().reply(R"({"type":"query"})"), "null");
  EXPECT_EQ(store->autofill().reply(R"(["query"])"), "null");
  EXPECT_EQ(send("other", "https://example.com"), "null");
}

TEST_F(AutofillBridgeTest, FillHandsALoginOnlyToAFrameOfItsOwnSite) {
  const Uuid id = save("example.com", "https://example.com", "ada", "pw\"1");
  const Uuid plain = save("plain.com", "http://plain.com", "bob", "pw2");

  EXPECT_EQ(send("fill", "https://other.com", R"(,"id":")" + id.str() + '"'), "null");
  EXPECT_EQ(send("fill", "https://notexample.com", R"(,"id":")" + id.str() + '"'), "null");
  // A login saved on a secure page never goes to the same site without encryption.
  EXPECT_EQ(send("fill", "http://example.com", R"(,"id":")" + id.str() + '"'), "null");
  EXPECT_EQ(send("fill", "https://example.com", R"(,"id":"not-a-uuid")"), "null");
  EXPECT_FALSE(passwords().credential(id)->lastUsed);

  std::string lower = id.str();
  for (char& c : lower) c = char(std::tolower(c));
  EXPECT_EQ(send("fill", "https://sub.example.com", R"(,"id":")" + lower + '"'),
            R"({"username":"ada","password":"pw\"1"})");
  EXPECT_TRUE(passwords().credential(id)->lastUsed);
  EXPECT_EQ(send("fill", "https://plain.com", R"(,"id":")" + plain.str() + '"'),
            R"({"username":"bob","password":"pw2"})");
}

TEST_F(AutofillBridgeTest, SubmitOffersNewAndChangedLoginsOnly) {
  save("example.com", "https://example.com", "ada", "old");

  EXPECT_EQ(submit("https://example.com", "ada", "old"), "null");
  EXPECT_FALSE(store->pendingSave.peek());
  submit("https://example.com", "ada", "new");
  ASSERT_TRUE(store->pendingSave.peek());
  EXPECT_TRUE(store->pendingSave.peek()->isUpdate);
  EXPECT_EQ(store->pendingSave.peek()->url->str(), "https://example.com/login?next=1");

  submit("https://www.example.com", "", "pw");
  const PendingCredential offer = *store->pendingSave.peek();
  EXPECT_EQ(offer,
            (PendingCredential{"example.com", Url::parse("https://www.example.com/login?next=1"),
                               "", "pw", false}));
  submit("https://example.com", "bob", "");  // no password: nothing
  send("submit", "file://", R"(,"username":"a","password":"b")");
  EXPECT_EQ(store->pendingSave.peek(), offer);

  // "Never" covers exactly the host, not its subdomains.
  store->neverSavePendingCredential(offer);
  EXPECT_FALSE(store->pendingSave.peek());
  submit("https://example.com", "cy", "pw");
  EXPECT_FALSE(store->pendingSave.peek());
  submit("https://shop.example.com", "cy", "pw");
  EXPECT_TRUE(store->pendingSave.peek());
}

TEST_F(AutofillBridgeTest, NothingIsOfferedBeforeTheKeyringHasBeenRead) {
  auto slow = std::make_shared<testing::MemoryVaultStorage>();
  slow->deferAnswers = true;
  startStore({}, 0, [&](BrowserStoreEnvironment& environment) { environment.vaultStorage = slow; });
  submit("https://example.com", "ada", "pw");
  EXPECT_FALSE(store->pendingSave.peek());
  slow->answerPending();
  submit("https://example.com", "ada", "pw");
  EXPECT_TRUE(store->pendingSave.peek());
}

TEST_F(AutofillBridgeTest, AnswersActOnTheShownOfferAndAFailedSaveKeepsIt) {
  submit("https://shown.com", "ada", "pw");
  const PendingCredential shown = *store->pendingSave.peek();
  submit("https://newer.com", "bob", "pw2");  // another tab, just before the click
  const PendingCredential newer = *store->pendingSave.peek();

  store->savePendingCredential(shown);
  ASSERT_EQ(passwords().credentials.peek().size(), 1u);
  EXPECT_EQ(passwords().credentials.peek()[0].host, "shown.com");
  EXPECT_EQ(passwords().credentials.peek()[0].url, "https://shown.com");
  EXPECT_EQ(store->pendingSave.peek(), newer);
  store->dismissPendingCredential(shown);
  EXPECT_EQ(store->pendingSave.peek(), newer);

  vault->refuseWrites = true;
  store->savePendingCredential(newer);
  EXPECT_EQ(store->pendingSave.peek(), newer);
  EXPECT_EQ(store->pendingSaveStatus.peek(), PendingSaveStatus::failed);
  EXPECT_TRUE(passwords().hasUnsavedChanges());

  vault->refuseWrites = false;
  store->savePendingCredential(newer);  // trying again writes the login that is already in memory
  EXPECT_FALSE(store->pendingSave.peek());
  EXPECT_EQ(store->pendingSaveStatus.peek(), PendingSaveStatus::offered);
  EXPECT_EQ(decodeCredentials(vault->stored.data)->size(), 2u);
}

}  // namespace
}  // namespace zemblo
