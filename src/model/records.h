#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/window_frame.h"
#include "platform/date.h"
#include "platform/file_to_keep_aside.h"
#include "platform/foundation_json.h"
#include "platform/url.h"
#include "platform/uuid.h"

// The values that outlive a run: the session ("session.json") and the history ("history.json").
namespace zemblo {

struct Favorite {
  Uuid id = Uuid::random();
  std::string title;
  Url url;
  std::optional<Url> faviconURL;

  Favorite(std::string title, Url url) : title(std::move(title)), url(std::move(url)) {}
  Favorite(Uuid id, std::string title, Url url, std::optional<Url> faviconURL)
      : id(std::move(id)),
        title(std::move(title)),
        url(std::move(url)),
        faviconURL(std::move(faviconURL)) {}

  // The tiles of a fresh installation.
  static std::vector<Favorite> defaults();

  friend bool operator==(const Favorite&, const Favorite&) = default;
};

struct HistoryEntry {
  Uuid id = Uuid::random();
  Url url;
  std::string title;
  Date date;

  HistoryEntry(Url url, std::string title, Date date)
      : url(std::move(url)), title(std::move(title)), date(date) {}
  HistoryEntry(Uuid id, Url url, std::string title, Date date)
      : id(std::move(id)), url(std::move(url)), title(std::move(title)), date(date) {}

  friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

struct TabSnapshot {
  Uuid id;
  std::optional<Url> url;
  std::string title;
  std::optional<Url> faviconURL;
};

struct SpaceSnapshot {
  Uuid id;
  std::string name;
  std::string symbol;
  std::string colorA;
  std::string colorB;
  std::vector<TabSnapshot> tabs;
  std::optional<Uuid> selectedTabID;
};

struct SessionSnapshot {
  std::vector<SpaceSnapshot> spaces;
  Uuid currentSpaceID;
  std::vector<Favorite> favorites;
  bool sidebarVisible = true;
  // How the window stood when last left, under "windowFrame"; none in a session written before
  // windows kept theirs, or when it does not decode.
  std::optional<WindowFrame> frame;
  // The browser windows after the first, which the keys above hold, under "windows": each with
  // its spaces' tabs, current space, sidebar and frame (their favourites and windows stay
  // empty). A browser that knows no such key reads the first window alone.
  std::vector<SessionSnapshot> windows;
};

// A closed tab kept in memory for reopening; never written.
struct ClosedTab {
  Uuid spaceID;
  Url url;
  std::string title;
  // Its back and forward list, as the engine gave it.
  std::optional<std::string> sessionState;
};

// The encoded files. Encoding fails (nothing) only for values the format cannot hold.
std::optional<std::string> encodeSession(const SessionSnapshot& session);
std::optional<std::string> encodeHistory(const std::vector<HistoryEntry>& history);
// Strict decoding: any missing or mistyped required value rejects the whole file.
std::optional<SessionSnapshot> decodeSession(std::string_view bytes);
std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view bytes);

// Reads and writes both files in the application's folder. Writes are atomic and durable, and
// failures leave the previous file as it was. A file that exists but does not decode is moved
// aside as "<name>.bad" (or the next free name: nothing kept earlier is replaced) when it is
// read, so the next save cannot destroy it; one whose only fault is text that is not UTF-8 is
// used with that text repaired, and a copy of it as it was is kept aside the same way. A file
// that could not be kept aside is never written over: each write tries again to keep it first,
// and fails while it can't. Writing blocks on the disk: the store calls it from its writing
// thread.
// A file the browser could not use as it was, kept out of the way so the next save can't
// destroy it.
struct SetAsideFile {
  std::filesystem::path original;
  std::optional<std::filesystem::path> keptAs;  // none when it could not be kept
  // Used with its text repaired, and kept as a copy; otherwise unusable, and moved.
  bool repaired = false;
};

class SessionFiles {
 public:
  using FolderProvider = std::function<std::filesystem::path()>;
  explicit SessionFiles(FolderProvider folder);
  SessionFiles();

  static constexpr const char* kSessionFileName = "session.json";
  static constexpr const char* kHistoryFileName = "history.json";

  // A file that exists but can't be read as a regular file of bounded size, or can't be
  // decoded, is set aside and listed in `setAside`; the defaults are used instead. A file
  // decoded only once its text was repaired is used, copied aside and listed too.
  std::optional<SessionSnapshot> readSession(std::vector<SetAsideFile>* setAside = nullptr) const;
  // Any failure gives an empty history.
  std::vector<HistoryEntry> readHistory(std::vector<SetAsideFile>* setAside = nullptr) const;
  // Removes the temporaries an interrupted save left beside the two files.
  void removeLeftoverTemporaries() const;

  // False too while the file there could not be kept aside.
  bool writeSession(const SessionSnapshot& session) const;
  bool writeHistory(const std::vector<HistoryEntry>& history) const;

  std::filesystem::path folder() const { return folder_(); }
  // These files in the folder they are in now, for a writing thread, which must not look the
  // folder up again; what is still to be kept aside is shared with this object.
  SessionFiles pinned() const;

 private:
  bool writeJSON(const std::optional<std::string>& bytes, std::string_view name) const;
  // What is still to be kept aside of the file `name` in the current folder.
  const FileToKeepAside& keep(std::string_view name) const;

  FolderProvider folder_;
  // Made for the folder of the first use, anew when the folder changes.
  mutable std::shared_ptr<std::pair<std::filesystem::path, FileToKeepAside>> sessionToKeep_;
  mutable std::shared_ptr<std::pair<std::filesystem::path, FileToKeepAside>> historyToKeep_;
};

}  // namespace zemblo
