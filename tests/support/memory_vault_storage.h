#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/vault_storage.h"

namespace zemblo::testing {

// A keyring item in memory. Reads answer `stored`; an accepted write replaces it. With
// `deferAnswers` nothing answers until the test calls answerPending(), as a real keyring answers
// on a later turn.
class MemoryVaultStorage : public VaultStorage {
 public:
  ReadResult stored{ReadStatus::notFound, {}, {}};
  bool refuseWrites = false;
  bool deferAnswers = false;
  int writeCount = 0;  // refused ones included

  void read(std::function<void(ReadResult)> done) override {
    answer([this, done] { done(stored); });
  }
  void write(std::string data, std::function<void(bool, const std::string&)> done) override {
    ++writeCount;
    answer([this, data = std::move(data), done] {
      if (!refuseWrites) stored = {ReadStatus::found, data, {}};
      done(!refuseWrites, refuseWrites ? "refused by the test" : "");
    });
  }
  void answerPending() {
    for (const auto& pending : std::exchange(pending_, {})) pending();
  }

 private:
  void answer(std::function<void()> work) {
    if (deferAnswers) {
      pending_.push_back(std::move(work));
    } else {
      work();
    }
  }
  std::vector<std::function<void()>> pending_;
};

}  // namespace zemblo::testing
