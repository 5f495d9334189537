// Saving and reading a large session: 20 spaces of 25 tabs each and 2000 history entries.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <glib.h>

#include "model/browser_store.h"
#include "model/history_model.h"
#include "model/records.h"
#include "model/window_model.h"

#include "scratch_home.h"
#include "support/fake_web_view.h"

namespace zemblo {
namespace {

Url address(int space, int tab) {
  return *Url::parse("https://site" + std::to_string(space) + ".example.com/articles/" +
                     std::to_string(tab) + "?ref=sidebar&page=" + std::to_string(tab % 7));
}

SessionSnapshot largeSession() {
  SessionSnapshot session;
  for (int s = 0; s < 20; ++s) {
    SpaceSnapshot space{
        Uuid::random(), "Alan " + std::to_string(s), "star", "#7B61FF", "#FF6FB5", {},
        std::nullopt};
    for (int t = 0; t < 25; ++t) {
      space.tabs.push_back(TabSnapshot{
          Uuid::random(), address(s, t), "Sayfa başlığı " + std::to_string(t),
          *Url::parse("https://site" + std::to_string(s) + ".example.com/favicon.ico")});
    }
    space.selectedTabID = space.tabs.front().id;
    session.spaces.push_back(std::move(space));
  }
  session.currentSpaceID = session.spaces.front().id;
  session.favorites = Favorite::defaults();
  return session;
}

std::vector<HistoryEntry> largeHistory() {
  std::vector<HistoryEntry> history;
  for (int i = 0; i < 2000; ++i) {
    history.emplace_back(address(i % 20, i), "Geçmiş kaydı " + std::to_string(i),
                         Date{752000000.0 + i * 61.25});
  }
  return history;
}

using bench::ScratchHome;

void BM_SaveNow(benchmark::State& state) {
  ScratchHome home;
  SessionFiles().writeSession(largeSession());
  SessionFiles().writeHistory(largeHistory());
  auto store = BrowserStore::create(std::make_shared<testing::FakeEngine>());
  for (auto _ : state) store->saveNow();
}
BENCHMARK(BM_SaveNow)->Unit(benchmark::kMillisecond);

void BM_StartUpRead(benchmark::State& state) {
  ScratchHome home;
  SessionFiles files;
  files.writeSession(largeSession());
  files.writeHistory(largeHistory());
  for (auto _ : state) {
    // The whole start-up restore: read, decode, and build the spaces, tabs and history.
    auto store = BrowserStore::create(std::make_shared<testing::FakeEngine>());
    if (store->tabs().spaces.peek().size() != 20 ||
        store->history().entries.peek().size() != 2000) {
      state.SkipWithError("files did not read back");
    }
    benchmark::DoNotOptimize(store);
  }
}
BENCHMARK(BM_StartUpRead)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zemblo
