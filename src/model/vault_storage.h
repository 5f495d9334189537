#pragma once

#include <functional>
#include <string>

namespace zemblo {

// Where the password vault keeps its one item: the desktop keyring in the browser, memory in
// tests. Answers may come before the call returns or on a later turn of the main loop.
class VaultStorage {
 public:
  enum class ReadStatus {
    found,
    notFound,  // there is certainly no item yet
    failed,    // the item may exist but cannot be read: it must never be replaced
  };
  struct ReadResult {
    ReadStatus status = ReadStatus::failed;
    std::string data;
    std::string error;
  };

  virtual ~VaultStorage() = default;

  virtual void read(std::function<void(ReadResult)> done) = 0;
  // Replaces the item's data, creating the item when there is none. The caller waits for one
  // write's answer before it starts the next.
  virtual void write(std::string data,
                     std::function<void(bool written, const std::string& error)> done) = 0;
};

}  // namespace zemblo
