// One keystroke in the command bar: the suggestions for a space of 500 tabs and a full history of
// 2000 entries.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <glib.h>

#include "model/browser_store.h"
#include "model/history_model.h"
#include "model/records.h"
#include "model/suggestions.h"
#include "model/window_model.h"

#include "scratch_home.h"
#include "support/fake_web_view.h"

namespace zemblo {
namespace {

using bench::ScratchHome;

Url address(const std::string& site, int page) {
  return *Url::parse("https://" + site + ".example.com/articles/" + std::to_string(page) +
                     "?ref=sidebar&page=" + std::to_string(page % 7));
}

// Half of the titles are Turkish, so both the ASCII and the full lower-casing are exercised.
std::string title(int i) {
  return i % 2 == 0 ? "Weekly Report " + std::to_string(i)
                    : "Haftalık Rapor Özeti " + std::to_string(i);
}

SessionSnapshot largeSpace() {
  SpaceSnapshot space{Uuid::random(), "Alan", "star", "#7B61FF", "#FF6FB5", {}, std::nullopt};
  for (int t = 0; t < 500; ++t) {
    space.tabs.push_back(TabSnapshot{Uuid::random(), address("tab" + std::to_string(t % 40), t),
                                     title(t), std::nullopt});
  }
  space.selectedTabID = space.tabs.front().id;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(std::move(space));
  return session;
}

std::vector<HistoryEntry> largeHistory() {
  std::vector<HistoryEntry> history;
  for (int i = 0; i < 2000; ++i) {
    history.emplace_back(address("site" + std::to_string(i % 60), i), title(i),
                         Date{752000000.0 - i * 61.25});
  }
  return history;
}

std::shared_ptr<BrowserStore> largeStore() {
  SessionFiles files;
  files.writeSession(largeSpace());
  files.writeHistory(largeHistory());
  return BrowserStore::create(std::make_shared<testing::FakeEngine>());
}

void runQuery(benchmark::State& state, const char* query) {
  ScratchHome home;
  auto store = largeStore();
  if (store->tabs().currentSpace()->tabs.peek().size() != 500 ||
      store->history().entries.peek().size() != 2000) {
    state.SkipWithError("store did not read back");
    return;
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(suggestions(store->tabs(), store->history(), query));
}

// Nothing matches: every tab and every history entry is looked at, the worst case.
void BM_SuggestNoMatch(benchmark::State& state) { runQuery(state, "kubernetes"); }
BENCHMARK(BM_SuggestNoMatch)->Unit(benchmark::kMicrosecond);

// Non-ASCII text that matches nothing: the query itself needs the full lower-casing.
void BM_SuggestNoMatchTurkish(benchmark::State& state) { runQuery(state, "Çalışma Takvimi"); }
BENCHMARK(BM_SuggestNoMatchTurkish)->Unit(benchmark::kMicrosecond);

// A typical query that finds its tabs and pages quickly.
void BM_SuggestCommonWord(benchmark::State& state) { runQuery(state, "rapor"); }
BENCHMARK(BM_SuggestCommonWord)->Unit(benchmark::kMicrosecond);

// A typed address: the address rule runs and the list repeats no address.
void BM_SuggestAddress(benchmark::State& state) { runQuery(state, "site42.example.com/art"); }
BENCHMARK(BM_SuggestAddress)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zemblo
