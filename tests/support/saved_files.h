#pragma once

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/records.h"
#include "support/fake_scheduler.h"

namespace zemblo::testing {

// The store's saved files as the disk holds them, to tell whether a save reached them. Made
// once the test's home is set up.
class SavedFiles {
 public:
  SavedFiles() : last_(current()) {}

  // Whether the files were written since the last look: the fake clock first runs past the
  // longest wait of a save, and the writes are waited for.
  bool writtenAfterSaveDelay(FakeScheduler& scheduler, BrowserStore& store) {
    scheduler.advance(BrowserStore::kSaveLongestDelay);
    store.finishWrites();
    const auto now = current();
    const bool written = now != last_;
    last_ = now;
    return written;
  }
  // The files as they are now are what the next look compares with.
  void remember() { last_ = current(); }

 private:
  // Each file's bytes, inode and change time: a write replaces the file even when its bytes stay
  // the same.
  static std::vector<std::string> current() {
    std::vector<std::string> state;
    for (const char* name : {"session.json", "history.json", "site-settings.json"}) {
      const auto path = SessionFiles().folder() / name;
      std::ifstream in(path, std::ios::binary);
      state.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      struct stat info {};
      if (::stat(path.c_str(), &info) == 0) {
        state.push_back(std::to_string(info.st_ino) + " " + std::to_string(info.st_ctim.tv_sec) +
                        "." + std::to_string(info.st_ctim.tv_nsec));
      }
    }
    return state;
  }

  std::vector<std::string> last_;
};

}  // namespace zemblo::testing
