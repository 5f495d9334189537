#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/localization.h"
#include "model/tab_services.h"
#include "model/window_model.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/interface_language.h"
#include "support/memory_vault_storage.h"
#include "support/saved_files.h"
#include "support/saved_session.h"
#include "support/temp_home.h"

namespace zemblo::testing {

// Whether `tab` works with the models of `store`, through the services the store hands its tabs.
inline bool servedBy(const BrowserTab& tab, const BrowserStore& store) {
  const auto services = tab.services();
  return services && &services->preferences == &store.preferences() &&
         &services->history == &store.history();
}

// A store over fake web views and a fake clock, started from a saved session in a home of its
// own.
class StoreFixture : public ::testing::Test {
 protected:
  void TearDown() override { L10n::setEnglish(false); }

  // Writes the session of `spaces` (none: the store starts with its defaults) and starts the
  // store; `configure` adds to the environment first.
  std::shared_ptr<BrowserStore> startStore(
      std::vector<SpaceSnapshot> spaces, size_t current,
      const std::function<void(BrowserStoreEnvironment&)>& configure = {}) {
    if (!spaces.empty()) {
      SessionSnapshot session;
      session.currentSpaceID = spaces[current].id;
      session.spaces = std::move(spaces);
      EXPECT_TRUE(SessionFiles().writeSession(session));
    }
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    environment.vaultStorage = vault;
    environment.memoryPressure = &memoryPressure;
    environment.clock = [this] { return std::chrono::steady_clock::time_point(scheduler.now()); };
    if (configure) configure(environment);
    useSavedLanguage(defaults);
    store = BrowserStore::create(engine_, std::move(environment));
    return store;
  }

  Space& space(size_t index) { return *store->tabs().spaces.peek().at(index); }
  std::shared_ptr<BrowserTab> tab(size_t spaceIndex, size_t tabIndex) {
    return space(spaceIndex).tabs.peek().at(tabIndex);
  }
  // Lets any pending save run, so that the next check sees only what follows.
  void settle() {
    scheduler.advance(std::chrono::seconds(1));
    store->finishWrites();
    savedFiles.remember();
  }
  // Whether a save reached the disk since the last check or settle().
  bool savedSinceLastCheck() { return savedFiles.writtenAfterSaveDelay(scheduler, *store); }

  TempHome home;
  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  FakeScheduler scheduler;
  // The system's memory warnings never reach the tests.
  MemoryPressure memoryPressure;
  std::shared_ptr<FakeEngine> engine_ = std::make_shared<FakeEngine>();
  FakeEngine& engine = *engine_;
  FakeEngine& webViews = *engine_;
  std::shared_ptr<MemoryVaultStorage> vault = std::make_shared<MemoryVaultStorage>();
  std::shared_ptr<BrowserStore> store;
  SavedFiles savedFiles;
};

}  // namespace zemblo::testing
