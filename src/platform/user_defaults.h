#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/file_to_keep_aside.h"
#include "platform/file_write_queue.h"

namespace zemblo {

// The browser's small persistent key-value settings ("appPreferences.v1", "searchEngine",
// "adBlockEnabled", ...): one JSON object in one file, rewritten whole and atomically on every
// change, read once when opened. The writes run on a thread of their own; reads answer from
// memory at once. A file that cannot be read as an object is kept aside as "<name>.bad" (or the
// next free name, paths::setAside) before the first write replaces it, and while it can't be
// kept aside nothing is written over it, so nothing is destroyed silently. Text that is not UTF-8
// is repaired rather than dropping every setting, and the file as it was is copied aside.
class UserDefaults {
 public:
  explicit UserDefaults(std::filesystem::path file);
  // Writes what is not on disk yet before it goes.
  ~UserDefaults();
  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // The process's defaults in the config folder, opened on first use.
  static UserDefaults& standard();

  bool contains(std::string_view key) const;

  // Typed reads follow the loose rules of a settings store: a value of another type reads as
  // absent (a string array with one non-string element is absent as a whole).
  std::optional<bool> boolValue(std::string_view key) const;
  std::optional<std::string> stringValue(std::string_view key) const;
  std::optional<std::vector<std::string>> stringArray(std::string_view key) const;
  // Raw bytes (for example an encoded JSON document), stored as a string.
  std::optional<std::string> data(std::string_view key) const;

  void setBool(std::string_view key, bool value);
  void setString(std::string_view key, std::string_view value);
  void setStringArray(std::string_view key, const std::vector<std::string>& value);
  void setData(std::string_view key, std::string_view bytes);
  void remove(std::string_view key);

  const std::filesystem::path& file() const { return file_; }

  // Told on the main thread after each write whether it reached the disk.
  std::function<void(bool written)> writeObserver;
  // Whether a change is not on disk yet: waiting, being written, or its write failed.
  bool hasUnwrittenChanges() const { return written_ < changes_; }
  // Writes again what a failed write left off the disk; nothing when all is written.
  void retryWrite();
  // Blocks until every change has been written, trying once more what failed: the way out.
  void flush();

  // The file was there but could not be used: the defaults stand in, and the file is set aside
  // (not destroyed) at the first write.
  bool foundUnreadableFile() const { return foundUnreadableFile_; }
  // The file was used once its text was repaired (each invalid sequence became U+FFFD).
  struct RepairedFile {
    // The copy of the file as it was; none when it could not be made, and the file is then kept
    // aside before the first write instead.
    std::optional<std::filesystem::path> keptAs;
  };
  const std::optional<RepairedFile>& repairedFile() const { return repairedFile_; }

 private:
  bool read(const std::string& bytes);
  void set(std::string_view key, nlohmann::ordered_json value);
  void write();
  void submitWrite();

  std::filesystem::path file_;
  nlohmann::ordered_json values_ = nlohmann::ordered_json::object();
  // Set aside by the first write, on the writing thread.
  FileToKeepAside keepAside_;
  bool foundUnreadableFile_ = false;
  std::optional<RepairedFile> repairedFile_;
  uint64_t changes_ = 0;
  uint64_t written_ = 0;
  // Last: it finishes its writes while everything they report to is still there.
  FileWriteQueue writes_;
};

}  // namespace zemblo
