#include "model/autofill_bridge.h"
#include "model/password_offers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/host_rules.h"
#include "model/login_origin.h"
#include "model/password_store.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

class AutofillBridgeTest : public testing::StoreFixture {
 protected:
  void SetUp() override { startStore({}, 0); }

  // A bridge over the store's vault and offers, as the store makes the one its tabs share; it
  // keeps nothing between messages.
  AutofillBridge autofill() {
    return AutofillBridge(std::shared_ptr<PasswordStore>(store, &store->passwords()),
                          std::shared_ptr<PasswordOffers>(store, &store->offers()));
  }

  PasswordStore& passwords() { return store->passwords(); }
  Uuid save(const std::string& host, const std::string& url, const std::string& username,
            const std::string& password) {
    passwords().upsert({.host = host, .url = url, .username = username, .password = password});
    return passwords().credentials.peek().back().id;
  }
  std::string send(const std::string& type, const std::string& origin,
                   const std::string& more = "") {
    return autofill().reply(R"({"type":")" + type + R"(","origin":")" + origin + '"' + more + "}");
  }
  std::string submit(const std::string& origin, const std::string& username,
                     const std::string& password) {
    return send("submit", origin,
                R"(,"href":")" + origin + R"(/login?next=1","username":")" + username +
                    R"(","password":")" + password + '"');
  }
};

TEST_F(AutofillBridgeTest, ALoginGoesToItsOwnHostAndIsOfferedOnlyToOtherHostsOfItsSite) {
  enum Reach { own, otherHost, never };
  struct Case {
    std::string saved;  // the address the login was saved on
    std::string page;   // the frame's origin
    Reach reach;
  };
  const std::vector<Case> cases = {
      {"https://site.test", "https://site.test", own},
      {"https://site.test", "https://www.site.test", own},
      {"https://www.site.test", "https://site.test", own},
      // Siblings, a subdomain of the login's host and its parent: listed, never preselected.
      {"https://a.site.test", "https://b.site.test", otherHost},
      {"https://site.test", "https://evil.site.test", otherHost},
      {"https://login.corp.test", "https://corp.test", otherHost},
      {"https://deep.a.example.co.uk", "https://example.co.uk", otherHost},
      // Other registrable domains, public suffixes among them.
      {"https://site.test", "https://notsite.test", never},
      {"https://site.test", "https://site.test.evil", never},
      {"https://example.co.uk", "https://other.co.uk", never},
      {"https://co.uk", "https://example.co.uk", never},
      // No registrable domain: exact hosts only.
      {"http://127.0.0.1", "http://127.0.0.1", own},
      {"http://10.0.0.1", "http://10.0.0.2", never},
      {"http://1.0.0.10", "http://2.0.0.10", never},
      {"http://[::1]", "http://[::2]", never},
      {"http://intranet", "http://intranet", own},
      {"http://intranet", "http://mail.intranet", never},
      // Names under a private entry of the list belong to different customers.
      {"https://alice.github.io", "https://alice.github.io", own},
      {"https://alice.github.io", "https://bob.github.io", never},
      {"https://a.alice.github.io", "https://b.alice.github.io", never},
      {"https://alice.github.io", "https://x.alice.github.io", never},
      // A login saved on a secure page never goes to a page without encryption.
      {"https://site.test", "http://site.test", never},
      {"https://site.test", "http://a.site.test", never},
      {"http://site.test", "https://site.test", own},
      {"http://login.corp.test", "http://corp.test", otherHost},
      // Another port is another server; a default port written out is none.
      {"http://site.test", "http://site.test:8080", never},
      {"http://site.test:8080", "http://site.test", never},
      {"https://site.test", "https://a.site.test:8443", never},
      {"http://site.test:8080", "http://www.site.test:8080", own},
      {"https://site.test:443", "https://site.test", own},
      {"http://login.corp.test:81", "http://corp.test:81", otherHost},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saved + " on " + c.page);
    const Uuid id = save(*normalizedHost(c.saved), c.saved, "ada", "pw");
    const std::string menu = R"({"type":"menu","origin":")" + c.page + R"("})";
    const std::vector<AutofillMenu::Row> rows =
        autofill().menuRows(menu).value_or(std::vector<AutofillMenu::Row>{});
    const std::string filled = autofill().chosenLogin(menu, id);
    if (c.reach == never) {
      EXPECT_TRUE(rows.empty());
      EXPECT_EQ(filled, "null");
      EXPECT_FALSE(passwords().credential(id)->lastUsed);
    } else {
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0], (AutofillMenu::Row{
                             id, "ada", LoginOrigin::ofPage(*Url::parse(c.saved))->hostAndPort(),
                             c.reach == otherHost}));
      EXPECT_EQ(AutofillMenu{rows}.firstHighlight().has_value(), c.reach == own);
      EXPECT_EQ(filled, R"({"username":"ada","password":"pw"})");
      EXPECT_TRUE(passwords().credential(id)->lastUsed);
    }
    passwords().deleteCredential(id);
  }
}

TEST_F(AutofillBridgeTest, TheMenuListsTheHostsOwnLoginsFirstAndAnswersWebFramesOnly) {
  const Uuid sibling = save("a.example.com", "https://a.example.com", "ada", "secret1");
  const Uuid own = save("example.com", "https://example.com", "bob", "pw\"2");
  save("other.com", "https://other.com", "eve", "secret3");
  const std::string page = R"({"type":"menu","origin":"https://www.example.com"})";
  EXPECT_EQ(autofill().menuRows(page),
            (std::vector<AutofillMenu::Row>{{own, "bob", "example.com", false},
                                            {sibling, "ada", "a.example.com", true}}));
  EXPECT_EQ(autofill().chosenLogin(page, own), R"({"username":"bob","password":"pw\"2"})");

  for (const std::string origin : {"file://", "null", "about:blank", "https://www.",
                                   "ftp://example.com", "HTTPS://example.com"}) {
    const std::string menu = R"({"type":"menu","origin":")" + origin + R"("})";
    EXPECT_FALSE(autofill().menuRows(menu)) << origin;
    EXPECT_EQ(autofill().chosenLogin(menu, own), "null") << origin;
  }
  EXPECT_FALSE(autofill().menuRows(R"(["menu"])"));
  EXPECT_EQ(send("query", "https://example.com"), "null");
}

TEST_F(AutofillBridgeTest, SubmitOffersNewAndChangedLoginsOnly) {
  save("example.com", "https://example.com", "ada", "old");

  EXPECT_EQ(submit("https://example.com", "ada", "old"), "null");
  EXPECT_FALSE(store->offers().pending.peek());
  submit("https://example.com", "ada", "new");
  ASSERT_TRUE(store->offers().pending.peek());
  EXPECT_TRUE(store->offers().pending.peek()->isUpdate);
  EXPECT_EQ(store->offers().pending.peek()->url->str(), "https://example.com/login?next=1");

  // Another port, or a page without encryption, saves a login of its own.
  submit("https://example.com:8443", "ada", "new");
  EXPECT_FALSE(store->offers().pending.peek()->isUpdate);
  submit("http://example.com", "ada", "new");
  EXPECT_FALSE(store->offers().pending.peek()->isUpdate);
  store->offers().save();
  EXPECT_EQ(passwords().credentials.peek().at(0).password, "old");
  EXPECT_EQ(passwords().credentials.peek().at(1).url, "http://example.com");

  // Another host of the site saves a login of its own, never updates this one.
  submit("https://login.example.com", "ada", "new");
  EXPECT_EQ(
      *store->offers().pending.peek(),
      (PendingCredential{"login.example.com", Url::parse("https://login.example.com/login?next=1"),
                         "ada", "new", false}));

  submit("https://www.example.com", "", "pw");
  const PendingCredential offer = *store->offers().pending.peek();
  EXPECT_EQ(offer,
            (PendingCredential{"example.com", Url::parse("https://www.example.com/login?next=1"),
                               "", "pw", false}));
  submit("https://example.com", "bob", "");  // no password: nothing
  send("submit", "file://", R"(,"username":"a","password":"b")");
  EXPECT_EQ(store->offers().pending.peek(), offer);

  // "Never" covers exactly the host, not its subdomains.
  store->offers().neverSave(offer);
  EXPECT_FALSE(store->offers().pending.peek());
  submit("https://example.com", "cy", "pw");
  EXPECT_FALSE(store->offers().pending.peek());
  submit("https://shop.example.com", "cy", "pw");
  EXPECT_TRUE(store->offers().pending.peek());
}

TEST_F(AutofillBridgeTest, NothingIsOfferedBeforeTheKeyringHasBeenRead) {
  auto slow = std::make_shared<testing::MemoryVaultStorage>();
  slow->deferAnswers = true;
  startStore({}, 0, [&](BrowserStoreEnvironment& environment) { environment.vaultStorage = slow; });
  submit("https://example.com", "ada", "pw");
  EXPECT_FALSE(store->offers().pending.peek());
  slow->answerPending();
  submit("https://example.com", "ada", "pw");
  EXPECT_TRUE(store->offers().pending.peek());
}

TEST_F(AutofillBridgeTest, AnswersActOnTheShownOfferAndAFailedSaveKeepsIt) {
  submit("https://shown.com", "ada", "pw");
  const PendingCredential shown = *store->offers().pending.peek();
  submit("https://newer.com", "bob", "pw2");  // another tab, just before the click
  const PendingCredential newer = *store->offers().pending.peek();

  store->offers().save(shown);
  ASSERT_EQ(passwords().credentials.peek().size(), 1u);
  EXPECT_EQ(passwords().credentials.peek()[0].host, "shown.com");
  EXPECT_EQ(passwords().credentials.peek()[0].url, "https://shown.com");
  EXPECT_EQ(store->offers().pending.peek(), newer);
  store->offers().dismiss(shown);
  EXPECT_EQ(store->offers().pending.peek(), newer);

  vault->refuseWrites = true;
  store->offers().save(newer);
  EXPECT_EQ(store->offers().pending.peek(), newer);
  EXPECT_EQ(store->offers().status.peek(), PendingSaveStatus::failed);
  EXPECT_TRUE(passwords().hasUnsavedChanges());

  vault->refuseWrites = false;
  store->offers().save(newer);  // trying again writes the login that is already in memory
  EXPECT_FALSE(store->offers().pending.peek());
  EXPECT_EQ(store->offers().status.peek(), PendingSaveStatus::offered);
  EXPECT_EQ(decodeCredentials(vault->stored.data)->size(), 2u);
}

}  // namespace
}  // namespace zemblo
