#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zemblo {

// One secret in the desktop's keyring (the Secret Service), found by its attributes wherever it
// is kept and created in the default collection. Every call is asynchronous, so the main loop
// never waits on D-Bus; answers come on the main loop. Destroying the item cancels what is under
// way, and no answer comes after that.
class KeyringItem {
 public:
  struct Identity {
    std::string schema;  // the schema name other programs see
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string label;  // given only when the item is created
    std::string contentType = "application/json";
    // The name of the default collection when the keyring has none and makes one for this item.
    std::string collectionLabel = "Default keyring";
  };

  enum class ReadStatus {
    found,
    // The search succeeded and nothing was found where the item would be: the default collection
    // exists unlocked, or there is none yet.
    notFound,
    // No service, a collection that stays locked, a secret that cannot be loaded, any D-Bus error:
    // the keyring may still hold the item, so it must not be replaced.
    failed,
  };
  struct ReadResult {
    ReadStatus status = ReadStatus::failed;
    std::string data;
    std::string error;
  };
  using ReadDone = std::function<void(ReadResult)>;
  // Whether the item now holds the data, and why not.
  using WriteDone = std::function<void(bool written, const std::string& error)>;

  explicit KeyringItem(Identity identity);
  ~KeyringItem();
  KeyringItem(const KeyringItem&) = delete;
  KeyringItem& operator=(const KeyringItem&) = delete;

  // The newest matching item's secret. A locked collection or item is unlocked first, which may
  // make the keyring ask the user.
  void read(ReadDone done);
  // Replaces the secret of the item found by the last read or write, or creates the item in the
  // default collection. A keyring without one fails the write at once and is asked to make it,
  // which it may do after asking the user; a later write then goes there. One write at a time:
  // the caller waits for the answer before the next.
  void write(std::string data, WriteDone done);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace zemblo
