// The content blocker's start-up with the generated rule file: a start that finds the list compiled
// with the browser, one that must compile it (in the helper program, as with an engine of another
// version), and a later start, which finds it in the user's store by its digest.
#include <benchmark/benchmark.h>

#include <glib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/ad_blocker.h"
#include "platform/mapped_file.h"
#include "platform/user_defaults.h"
#include "web/content_rule_compiler.h"
#include "web/webkit_content_rule_store.h"

namespace zemblo {
namespace {

// A scratch folder for one benchmark, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    gchar* dir = g_dir_make_tmp("zemblo-adblock-bench-XXXXXX", nullptr);
    path_ = dir;
    g_free(dir);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Notes whether the blocker had to compile.
class WatchedStore : public ContentRuleStore {
 public:
  explicit WatchedStore(const std::filesystem::path& folder,
                        const std::vector<std::filesystem::path>& readOnly = {})
      : store_(std::make_shared<WebKitContentRuleStore>(folder, readOnly)) {}
  void lookUp(const std::string& identifier, LookUpDone done) override {
    store_->lookUp(identifier, std::move(done));
  }
  void compile(const std::string& identifier, std::string rules, CompileDone done) override {
    compiled = true;
    store_->compile(identifier, std::move(rules), std::move(done));
  }
  void identifiers(IdentifiersDone done) override { store_->identifiers(std::move(done)); }
  void remove(const std::string& identifier) override { store_->remove(identifier); }
  bool compiled = false;

 private:
  std::shared_ptr<WebKitContentRuleStore> store_;
};

// One start of the blocker against the store in `folder`, until its list is ready. False on any
// other outcome.
bool startBlocker(UserDefaults& defaults, const std::filesystem::path& folder, bool& compiled,
                  const std::vector<std::filesystem::path>& readOnly = {}) {
  auto store = std::make_shared<WatchedStore>(folder, readOnly);
  AdBlocker blocker(defaults);
  blocker.prepareRules(store);
  while (std::holds_alternative<AdBlocker::Preparing>(blocker.status.peek())) {
    g_main_context_iteration(nullptr, TRUE);
  }
  compiled = store->compiled;
  return std::holds_alternative<AdBlocker::Ready>(blocker.status.peek());
}

// First starts on fresh user stores, one per iteration, behind the read-only stores given; each
// must compile the list, or must not.
void firstStarts(benchmark::State& state, const std::vector<std::filesystem::path>& readOnly,
                 bool mustCompile) {
  if (!AdBlocker::bundledRuleFile()) return state.SkipWithError("no AdBlockRules.json");
  ScratchFolder scratch;
  UserDefaults defaults(scratch.path() / "defaults.json");
  int run = 0;
  for (auto _ : state) {
    bool compiled = false;
    const auto folder = scratch.path() / ("lists-" + std::to_string(run++));
    if (!startBlocker(defaults, folder, compiled, readOnly) || compiled != mustCompile) {
      return state.SkipWithError(mustCompile ? "the list was not compiled"
                                             : "the shipped list was not found");
    }
  }
}

void BM_AdBlockFirstStartCompiles(benchmark::State& state) { firstStarts(state, {}, true); }
BENCHMARK(BM_AdBlockFirstStartCompiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_AdBlockFirstStartFindsTheShippedList(benchmark::State& state) {
  std::vector<std::filesystem::path> shipped;
  if (const auto file = AdBlocker::bundledRuleFile()) {
    shipped.push_back(file->parent_path() / content_rule_compiler::kBundledFolderName);
  }
  firstStarts(state, shipped, false);
}
BENCHMARK(BM_AdBlockFirstStartFindsTheShippedList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AdBlockLaterStartFindsTheList(benchmark::State& state) {
  if (!AdBlocker::bundledRuleFile()) return state.SkipWithError("no AdBlockRules.json");
  ScratchFolder scratch;
  UserDefaults defaults(scratch.path() / "defaults.json");
  const auto folder = scratch.path() / "lists";
  bool compiled = false;
  if (!startBlocker(defaults, folder, compiled)) return state.SkipWithError("no list");
  for (auto _ : state) {
    // A new store object each time, as in a new process.
    if (!startBlocker(defaults, folder, compiled) || compiled) {
      return state.SkipWithError("the list was compiled again");
    }
  }
}
BENCHMARK(BM_AdBlockLaterStartFindsTheList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The share of a start spent on the file, on the blocker's reading thread: mapping it and its
// digest.
void BM_AdBlockRuleFileIdentifier(benchmark::State& state) {
  const auto file = AdBlocker::bundledRuleFile();
  if (!file) return state.SkipWithError("no AdBlockRules.json");
  for (auto _ : state) {
    const auto mapped = MappedFile::open(*file);
    if (!mapped) return state.SkipWithError("unreadable AdBlockRules.json");
    benchmark::DoNotOptimize(AdBlocker::ruleListIdentifier(mapped->bytes()));
    state.SetBytesProcessed(state.bytes_processed() + static_cast<int64_t>(mapped->bytes().size()));
  }
}
BENCHMARK(BM_AdBlockRuleFileIdentifier)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zemblo
