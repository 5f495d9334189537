// Against the private, unlocked keyring of the test session (scripts/lib/test-session.sh).
#include "platform/keyring_item.h"

#include <gtest/gtest.h>
#include <libsecret/secret.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "model/keyring_vault_storage.h"
#include "model/password_store.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    g_main_context_iteration(nullptr, TRUE);
  }
  return true;
}

// What the keyring holds under some attributes, read with libsecret itself.
struct StoredItem {
  std::string label;
  std::string data;
};

GHashTable* attributesOf(const KeyringItem::Identity& identity) {
  GHashTable* table = g_hash_table_new(g_str_hash, g_str_equal);
  for (const auto& [name, value] : identity.attributes) {
    g_hash_table_insert(table, const_cast<char*>(name.c_str()), const_cast<char*>(value.c_str()));
  }
  return table;
}

std::vector<StoredItem> storedItems(const KeyringItem::Identity& identity) {
  SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, nullptr);
  EXPECT_TRUE(service) << "the test session has no Secret Service";
  if (!service) return {};
  GHashTable* attributes = attributesOf(identity);
  GList* items = secret_service_search_sync(
      service, nullptr, attributes,
      SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS),
      nullptr, nullptr);
  std::vector<StoredItem> found;
  for (GList* link = items; link; link = link->next) {
    auto* item = SECRET_ITEM(link->data);
    char* label = secret_item_get_label(item);
    SecretValue* value = secret_item_get_secret(item);
    gsize length = 0;
    const char* bytes = value ? secret_value_get(value, &length) : "";
    found.push_back({label, std::string(bytes, length)});
    g_free(label);
    if (value) secret_value_unref(value);
  }
  g_list_free_full(items, g_object_unref);
  g_hash_table_unref(attributes);
  g_object_unref(service);
  return found;
}

void clearItems(const KeyringItem::Identity& identity) {
  GHashTable* attributes = attributesOf(identity);
  secret_password_clearv_sync(nullptr, attributes, nullptr, nullptr);
  g_hash_table_unref(attributes);
}

void storeItem(const KeyringItem::Identity& identity, const std::string& data) {
  GHashTable* attributes = attributesOf(identity);
  SecretValue* value = secret_value_new(data.data(), gssize(data.size()), "text/plain");
  SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, nullptr);
  ASSERT_TRUE(secret_service_store_sync(service, nullptr, attributes, SECRET_COLLECTION_DEFAULT,
                                        "stored by the test", value, nullptr, nullptr));
  g_object_unref(service);
  secret_value_unref(value);
  g_hash_table_unref(attributes);
}

KeyringItem::ReadResult readNow(KeyringItem& item) {
  std::optional<KeyringItem::ReadResult> result;
  item.read([&](KeyringItem::ReadResult answer) { result = std::move(answer); });
  EXPECT_TRUE(waitUntil([&] { return result.has_value(); }));
  return result.value_or(KeyringItem::ReadResult{});
}

bool writeNow(KeyringItem& item, const std::string& data) {
  std::optional<bool> written;
  item.write(data, [&](bool ok, const std::string&) { written = ok; });
  EXPECT_TRUE(waitUntil([&] { return written.has_value(); }));
  return written.value_or(false);
}

const KeyringItem::Identity kTestItem{
    "org.zemblo.test.Item", {{"service", "org.zemblo.test"}, {"account", "item"}}, "Zemblo test"};

TEST(KeyringItem, AMissingItemIsCreatedWithItsLabelThenReplacedAndCreatedAgainWhenDeleted) {
  clearItems(kTestItem);
  KeyringItem item(kTestItem);
  EXPECT_EQ(readNow(item).status, KeyringItem::ReadStatus::notFound);

  ASSERT_TRUE(writeNow(item, "one"));
  ASSERT_TRUE(writeNow(item, "[\"two\"]"));
  auto stored = storedItems(kTestItem);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].label, "Zemblo test");
  EXPECT_EQ(stored[0].data, "[\"two\"]");

  KeyringItem again(kTestItem);
  const KeyringItem::ReadResult read = readNow(again);
  EXPECT_EQ(read.status, KeyringItem::ReadStatus::found);
  EXPECT_EQ(read.data, "[\"two\"]");

  clearItems(kTestItem);  // another program deletes it
  ASSERT_TRUE(writeNow(item, "three"));
  stored = storedItems(kTestItem);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].data, "three");
  clearItems(kTestItem);
}

TEST(KeyringItem, WithoutASecretServiceEveryCallFailsAtOnce) {
  // libsecret looks for the service under this name whenever it connects.
  g_setenv("SECRET_SERVICE_BUS_NAME", "org.zemblo.test.NoSecretServiceHere", TRUE);
  KeyringItem item(kTestItem);
  const KeyringItem::ReadResult read = readNow(item);
  EXPECT_FALSE(writeNow(item, "data"));
  g_unsetenv("SECRET_SERVICE_BUS_NAME");
  EXPECT_EQ(read.status, KeyringItem::ReadStatus::failed);
  EXPECT_FALSE(read.error.empty());
  EXPECT_TRUE(storedItems(kTestItem).empty());
}

TEST(PasswordVaultInKeyring, ACorruptItemLeavesTheVaultUnavailableAndTheItemUntouched) {
  const KeyringItem::Identity vaultItem{
      KeyringVaultStorage::kService,
      {{"service", KeyringVaultStorage::kService}, {"account", KeyringVaultStorage::kAccount}},
      KeyringVaultStorage::kLabel};
  clearItems(vaultItem);
  storeItem(vaultItem, R"([{"id":"not a login"}])");
  testing::TempHome home;
  UserDefaults defaults(home.root() / "user-defaults.json");
  PasswordStore vault(defaults, std::make_shared<KeyringVaultStorage>());
  ASSERT_TRUE(waitUntil([&] { return vault.state.peek() != VaultState::loading; }));
  EXPECT_TRUE(vault.isUnavailable());

  std::optional<bool> written;
  vault.upsert("example.com", "https://example.com", "ada", "pw", "", "", false);
  vault.persist([&](bool ok) { written = ok; });
  EXPECT_EQ(written, false);
  const auto stored = storedItems(vaultItem);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].data, R"([{"id":"not a login"}])");
  EXPECT_EQ(stored[0].label, "stored by the test");
  clearItems(vaultItem);
}

}  // namespace
}  // namespace zemblo
