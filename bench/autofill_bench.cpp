// Focusing a login field: the native half of the menu's "query", from the page's message to the
// reply handed back to the page, with 1000 saved logins. The menu must show within 50 ms.
#include <benchmark/benchmark.h>
#include <jsc/jsc.h>

#include <memory>
#include <string>

#include "model/autofill_bridge.h"
#include "model/browser_store.h"
#include "model/password_store.h"
#include "model/vault_storage.h"

#include "scratch_home.h"

namespace zemblo {
namespace {

using bench::ScratchHome;

// A keyring with no item yet that takes every write.
class EmptyVault : public VaultStorage {
 public:
  void read(std::function<void(ReadResult)> done) override { done({ReadStatus::notFound, {}, {}}); }
  void write(std::string, std::function<void(bool, const std::string&)> done) override {
    done(true, {});
  }
};

// 1000 logins; `sameSite` of them belong to the site of the page that asks.
std::shared_ptr<BrowserStore> storeWithLogins(int sameSite) {
  BrowserStoreEnvironment environment;
  environment.vaultStorage = std::make_shared<EmptyVault>();
  auto store = BrowserStore::create(std::move(environment));
  PasswordStore& vault = store->passwords();
  for (int i = 0; i < 1000; ++i) {
    const std::string host = i < sameSite ? (i % 2 ? "accounts.example.com" : "example.com")
                                          : "site" + std::to_string(i) + ".test";
    vault.upsert(host, "https://" + host, "user" + std::to_string(i) + "@mail.test",
                 "password-" + std::to_string(i), "", "", false);
  }
  return store;
}

void runQuery(benchmark::State& state, int sameSite) {
  ScratchHome home;
  auto store = storeWithLogins(sameSite);
  JSCContext* context = jsc_context_new();
  JSCValue* message = jsc_value_new_from_json(
      context,
      R"({"type":"query","origin":"https://www.example.com","href":"https://www.example.com/login"})");
  size_t listed = 0;
  for (auto _ : state) {
    char* body = jsc_value_to_json(message, 0);
    const std::string answer = store->autofill().reply(body);
    g_free(body);
    JSCValue* reply = jsc_value_new_from_json(context, answer.c_str());
    JSCValue* length = jsc_value_object_get_property(reply, "length");
    listed = size_t(jsc_value_to_int32(length));
    g_object_unref(length);
    g_object_unref(reply);
  }
  if (listed != size_t(sameSite)) state.SkipWithError("the reply does not list the site's logins");
  g_object_unref(message);
  g_object_unref(context);
}

// Every saved login belongs to the site: the largest menu there can be.
void BM_AutofillQueryAllLoginsOfTheSite(benchmark::State& state) { runQuery(state, 1000); }
BENCHMARK(BM_AutofillQueryAllLoginsOfTheSite)->Unit(benchmark::kMillisecond);

// A few logins of the site among many others.
void BM_AutofillQueryAmongOtherSites(benchmark::State& state) { runQuery(state, 3); }
BENCHMARK(BM_AutofillQueryAmongOtherSites)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zemblo
