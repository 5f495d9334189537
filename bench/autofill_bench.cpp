// A press in a login field: the native half of the menu of saved logins, from the page's message
// to the rows of the menu, with 1000 saved logins. The menu must show within 50 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "model/autofill_bridge.h"
#include "model/browser_store.h"
#include "model/password_offers.h"
#include "model/password_store.h"
#include "model/vault_storage.h"

#include "scratch_home.h"
#include "support/fake_web_view.h"

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
  auto store =
      BrowserStore::create(std::make_shared<testing::FakeEngine>(), std::move(environment));
  PasswordStore& vault = store->passwords();
  for (int i = 0; i < 1000; ++i) {
    const std::string host = i < sameSite ? (i % 2 ? "accounts.example.com" : "example.com")
                                          : "site" + std::to_string(i) + ".test";
    vault.upsert({.host = host,
                  .url = "https://" + host,
                  .username = "user" + std::to_string(i) + "@mail.test",
                  .password = "password-" + std::to_string(i),
                  .persist = false});
  }
  return store;
}

void runMenu(benchmark::State& state, int sameSite) {
  ScratchHome home;
  auto store = storeWithLogins(sameSite);
  const std::string message =
      R"({"type":"menu","origin":"https://www.example.com","href":"https://www.example.com/login"})";
  // Over the store's vault and offers, as the store makes the one its tabs share.
  AutofillBridge bridge(std::shared_ptr<PasswordStore>(store, &store->passwords()),
                        std::shared_ptr<PasswordOffers>(store, &store->offers()));
  size_t listed = 0;
  for (auto _ : state) listed = bridge.menuRows(message)->size();
  if (listed != size_t(sameSite)) state.SkipWithError("the menu does not list the site's logins");
}

// Every saved login belongs to the site: the largest menu there can be.
void BM_AutofillMenuAllLoginsOfTheSite(benchmark::State& state) { runMenu(state, 1000); }
BENCHMARK(BM_AutofillMenuAllLoginsOfTheSite)->Unit(benchmark::kMillisecond);

// A few logins of the site among many others.
void BM_AutofillMenuAmongOtherSites(benchmark::State& state) { runMenu(state, 3); }
BENCHMARK(BM_AutofillMenuAmongOtherSites)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zemblo
