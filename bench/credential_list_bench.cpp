// The passwords window's list with 10,000 saved logins: sorting when the vault changes, and the
// search that runs on every keystroke, which must stay well under a frame.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "model/credential_index.h"

namespace zemblo {
namespace {

std::vector<Credential> manyLogins(size_t count) {
  const char* sites[] = {"mail", "Shop", "bank", "forum", "news", "Cloud", "git", "wiki"};
  std::vector<Credential> logins;
  logins.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    Credential credential;
    credential.host = std::string(sites[i % 8]) + std::to_string(i % 1700) + ".example.test";
    credential.username = "user" + std::to_string((i * 7919) % count) + "@example.test";
    credential.title = i % 3 == 0 ? "Account " + std::to_string(i) : "";
    credential.url = "https://" + credential.host;
    credential.password = "secret" + std::to_string(i);
    logins.push_back(std::move(credential));
  }
  return logins;
}

void BM_CredentialListSort(benchmark::State& state) {
  const auto logins = manyLogins(size_t(state.range(0)));
  for (auto _ : state) {
    CredentialIndex index(logins);
    benchmark::DoNotOptimize(index.order().data());
  }
}
BENCHMARK(BM_CredentialListSort)->Arg(10000)->Unit(benchmark::kMillisecond);

// One keystroke each: the query typed so far, letter by letter.
void BM_CredentialListSearchKeystroke(benchmark::State& state) {
  const auto logins = manyLogins(size_t(state.range(0)));
  const CredentialIndex index(logins);
  const std::string typed = "  Shop12";
  size_t length = 0;
  for (auto _ : state) {
    length = length % typed.size() + 1;
    const auto shown = index.matching(CredentialIndex::query(typed.substr(0, length)));
    benchmark::DoNotOptimize(shown.data());
  }
}
BENCHMARK(BM_CredentialListSearchKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zemblo
