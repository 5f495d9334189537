#include "model/password_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/memory_vault_storage.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using testing::MemoryVaultStorage;
using ReadStatus = VaultStorage::ReadStatus;

Credential login(std::string host, std::string username, std::string password,
                 std::optional<double> lastUsed = std::nullopt) {
  Credential credential;
  credential.host = std::move(host);
  credential.url = "https://" + credential.host;
  credential.username = std::move(username);
  credential.password = std::move(password);
  if (lastUsed) credential.lastUsed = Date{*lastUsed};
  return credential;
}

// A secure page of `host`.
LoginOrigin securePage(const std::string& host) {
  return *LoginOrigin::ofPage(*Url::parse("https://" + host));
}

std::vector<std::string> usernames(const std::vector<Credential>& credentials) {
  std::vector<std::string> names;
  for (const Credential& credential : credentials) names.push_back(credential.username);
  return names;
}

class PasswordStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<PasswordStore> open(std::vector<Credential> stored) {
    storage->stored = {ReadStatus::found, *encodeCredentials(stored), {}};
    return std::make_unique<PasswordStore>(defaults, storage);
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "user-defaults.json"};
  std::shared_ptr<MemoryVaultStorage> storage = std::make_shared<MemoryVaultStorage>();
};

TEST_F(PasswordStoreTest, AnUnreadableItemMakesTheVaultUnavailableAndIsNeverWritten) {
  const std::vector<VaultStorage::ReadResult> unreadable = {
      {ReadStatus::failed, {}, "no Secret Service"},
      {ReadStatus::found, "not json", {}},
      {ReadStatus::found, "", {}},  // an item whose secret is empty
      {ReadStatus::found, R"([{"id":"5C7A1E2B-0D1F-4F6A-9B7C-2D3E4F5A6B7C","host":"a.com"}])", {}},
  };
  for (const auto& result : unreadable) {
    storage = std::make_shared<MemoryVaultStorage>();
    storage->stored = result;
    PasswordStore vault(defaults, storage);
    EXPECT_TRUE(vault.state.peek() == VaultState::unavailable) << result.data;
    EXPECT_TRUE(vault.credentials.peek().empty());

    // Saves still work in memory, but nothing reaches the keyring and the save says so.
    std::optional<bool> written;
    vault.upsert({.host = "a.com",
                  .url = "https://a.com",
                  .username = "ada",
                  .password = "pw",
                  .persist = false});
    vault.persist([&](bool ok) { written = ok; });
    vault.markUsed(vault.credentials.peek().front().id);
    EXPECT_EQ(written, false);
    EXPECT_EQ(storage->writeCount, 0);
    EXPECT_EQ(storage->stored.data, result.data);
  }
}

TEST_F(PasswordStoreTest, OnlyAMissingItemIsAnEmptyVaultAndTheFirstSaveCreatesIt) {
  storage->deferAnswers = true;
  PasswordStore vault(defaults, storage);
  EXPECT_EQ(vault.state.peek(), VaultState::loading);
  // A save made before the keyring answered waits for the read instead of overwriting.
  vault.upsert({.host = "a.com", .url = "https://a.com", .username = "ada", .password = "pw"});
  EXPECT_EQ(storage->writeCount, 0);

  storage->answerPending();  // the read: no item
  EXPECT_EQ(vault.state.peek(), VaultState::available);
  storage->answerPending();  // the write
  EXPECT_EQ(storage->writeCount, 1);
  const auto stored = decodeCredentials(storage->stored.data);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, vault.credentials.peek());
  EXPECT_FALSE(vault.hasUnsavedChanges());
}

TEST_F(PasswordStoreTest, EncodingRoundTripsAndLeavesOutAnAbsentLastUse) {
  const std::vector<Credential> logins = {login("a.com", "ada", "p\"w/1"),
                                          login("b.com", "", "x", 7.5)};
  const std::string text = *encodeCredentials(logins);
  EXPECT_EQ(text.find("lastUsed"), text.rfind("lastUsed"));  // only the second has one
  EXPECT_EQ(decodeCredentials(text), logins);
  auto vault = open(logins);
  EXPECT_EQ(vault->credentials.peek(), logins);
}

TEST_F(PasswordStoreTest, SaveDecisionAndUpsertFollowTheFirstLoginOfTheSameHost) {
  Credential noted = login("example.com", "ada", "old");
  noted.notes = "kept";
  auto vault = open({noted, login("example.com", "bob", "b"), login("com", "ada", "tld")});
  const int writesBefore = storage->writeCount;

  // The same host and username update the stored login.
  EXPECT_EQ(vault->saveDecision(securePage("example.com"), "ada", "new"), SaveDecision::update);
  EXPECT_EQ(vault->upsert({.host = "example.com",
                           .url = "https://example.com",
                           .username = "ada",
                           .password = "new",
                           .notes = "ignored"}),
            SaveDecision::update);
  const Credential& updated = vault->credentials.peek()[0];
  EXPECT_EQ(updated.password, "new");
  EXPECT_EQ(updated.notes, "kept");
  EXPECT_GE(updated.modified, noted.modified);
  EXPECT_EQ(storage->writeCount, writesBefore + 1);

  // The same login again changes and writes nothing.
  EXPECT_EQ(vault->upsert({.host = "example.com",
                           .url = "https://example.com",
                           .username = "ada",
                           .password = "new"}),
            SaveDecision::alreadySaved);
  EXPECT_EQ(storage->writeCount, writesBefore + 1);

  // Usernames compare exactly; another host of the site, or its parent, is another login.
  EXPECT_EQ(vault->saveDecision(securePage("example.com"), "Ada", "new"), SaveDecision::save);
  EXPECT_EQ(vault->saveDecision(securePage("login.example.com"), "ada", "new"), SaveDecision::save);
  EXPECT_EQ(vault->saveDecision(securePage("shop.com"), "ada", "tld"), SaveDecision::save);
  EXPECT_EQ(vault->upsert({.host = "shop.com",
                           .url = "https://shop.com",
                           .username = "ada",
                           .password = "s",
                           .title = "T",
                           .notes = "N"}),
            SaveDecision::save);
  const Credential& added = vault->credentials.peek().back();
  EXPECT_EQ(added.host, "shop.com");
  EXPECT_EQ(added.title, "T");
  EXPECT_FALSE(added.lastUsed);
}

TEST_F(PasswordStoreTest, LoginsOfAHostAndOfItsSiteComeMostRecentlyUsedFirst) {
  auto vault = open({login("example.com", "never1", "x"), login("a.example.com", "old", "x", 10),
                     login("other.com", "elsewhere", "x", 99), login("example.com", "never2", "x"),
                     login("example.com", "new", "x", 20), login("a.example.com", "a", "x", 30)});
  EXPECT_EQ(usernames(vault->credentialsFor(securePage("example.com"))),
            (std::vector<std::string>{"new", "never1", "never2"}));
  EXPECT_EQ(usernames(vault->credentialsForOtherHostsOfSite(securePage("example.com"))),
            (std::vector<std::string>{"a", "old"}));
  EXPECT_EQ(usernames(vault->credentialsForOtherHostsOfSite(securePage("b.example.com"))),
            (std::vector<std::string>{"a", "new", "old", "never1", "never2"}));

  const Uuid never2 = vault->credentials.peek()[3].id;
  vault->markUsed(never2);
  EXPECT_EQ(usernames(vault->credentialsFor(securePage("example.com"))).front(), "never2");
  vault->markUsed(Uuid::random());  // unknown: nothing
  EXPECT_FALSE(vault->hasUnsavedChanges());
}

TEST_F(PasswordStoreTest, WritesQueueBehindTheOneUnderWayAndCarryTheNewestVault) {
  auto vault = open({});
  storage->deferAnswers = true;
  std::vector<bool> answers;
  vault->upsert({.host = "a.com",
                 .url = "https://a.com",
                 .username = "ada",
                 .password = "1",
                 .persist = false});
  vault->persist([&](bool ok) { answers.push_back(ok); });
  vault->upsert({.host = "b.com", .url = "https://b.com", .username = "bob", .password = "2"});
  vault->upsert({.host = "c.com",
                 .url = "https://c.com",
                 .username = "cy",
                 .password = "3",
                 .persist = false});
  vault->persist([&](bool ok) { answers.push_back(ok); });
  EXPECT_EQ(storage->writeCount, 1);  // the others wait
  EXPECT_TRUE(vault->hasUnsavedChanges());

  storage->refuseWrites = true;
  storage->answerPending();  // the first write fails; the queued one starts
  EXPECT_EQ(answers, std::vector<bool>{false});
  EXPECT_EQ(storage->writeCount, 2);
  storage->refuseWrites = false;
  storage->answerPending();
  EXPECT_EQ(answers, (std::vector<bool>{false, true}));
  EXPECT_EQ(decodeCredentials(storage->stored.data)->size(), 3u);
  EXPECT_FALSE(vault->hasUnsavedChanges());
}

}  // namespace
}  // namespace zemblo
