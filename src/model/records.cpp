#include "model/records.h"

#include <glib.h>

#include <system_error>
#include <utility>

#include "platform/foundation_json.h"
#include "platform/json_writer.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace zemblo {
namespace {

using json::Json;

Url requireUrl(const Json& object, std::string_view key) {
  std::optional<Url> url = Url::parse(json::requireString(object, key));
  if (!url) throw json::DecodeError(std::string(key) + ": not a URL");
  return std::move(*url);
}

std::optional<Url> optionalUrl(const Json& object, std::string_view key) {
  const std::optional<std::string> text = json::optionalString(object, key);
  if (!text) return std::nullopt;
  std::optional<Url> url = Url::parse(*text);
  if (!url) throw json::DecodeError(std::string(key) + ": not a URL");
  return url;
}

void write(json::JsonWriter& out, const Favorite& favorite) {
  out.beginObject().key("id").string(favorite.id.str());
  out.key("title").string(favorite.title).key("url").string(favorite.url.str());
  if (favorite.faviconURL) out.key("faviconURL").string(favorite.faviconURL->str());
  out.endObject();
}

void write(json::JsonWriter& out, const HistoryEntry& entry) {
  out.beginObject().key("id").string(entry.id.str()).key("url").string(entry.url.str());
  out.key("title").string(entry.title).key("date").number(entry.date.secondsSince2001);
  out.endObject();
}

void write(json::JsonWriter& out, const TabSnapshot& tab) {
  out.beginObject().key("id").string(tab.id.str());
  if (tab.url) out.key("url").string(tab.url->str());
  out.key("title").string(tab.title);
  if (tab.faviconURL) out.key("faviconURL").string(tab.faviconURL->str());
  out.endObject();
}

void write(json::JsonWriter& out, const SpaceSnapshot& space) {
  out.beginObject().key("id").string(space.id.str()).key("name").string(space.name);
  out.key("symbol").string(space.symbol).key("colorA").string(space.colorA);
  out.key("colorB").string(space.colorB).key("tabs").beginArray();
  for (const auto& tab : space.tabs) write(out, tab);
  out.endArray();
  if (space.selectedTabID) out.key("selectedTabID").string(space.selectedTabID->str());
  out.endObject();
}

template <class T>
void writeArray(json::JsonWriter& out, const std::vector<T>& values) {
  out.beginArray();
  for (const auto& value : values) write(out, value);
  out.endArray();
}

Favorite favoriteFrom(const Json& object) {
  json::requireObject(object);
  return Favorite(json::requireUuid(object, "id"), json::requireString(object, "title"),
                  requireUrl(object, "url"), optionalUrl(object, "faviconURL"));
}

HistoryEntry historyEntryFrom(const Json& object) {
  json::requireObject(object);
  return HistoryEntry(json::requireUuid(object, "id"), requireUrl(object, "url"),
                      json::requireString(object, "title"), json::requireDate(object, "date"));
}

TabSnapshot tabFrom(const Json& object) {
  json::requireObject(object);
  return TabSnapshot{json::requireUuid(object, "id"), optionalUrl(object, "url"),
                     json::requireString(object, "title"), optionalUrl(object, "faviconURL")};
}

SpaceSnapshot spaceFrom(const Json& object) {
  json::requireObject(object);
  SpaceSnapshot space{json::requireUuid(object, "id"),
                      json::requireString(object, "name"),
                      json::requireString(object, "symbol"),
                      json::requireString(object, "colorA"),
                      json::requireString(object, "colorB"),
                      {},
                      json::optionalUuid(object, "selectedTabID")};
  const Json& tabs = json::requireArray(object, "tabs");
  space.tabs.reserve(tabs.size());
  for (const Json& tab : tabs) space.tabs.push_back(tabFrom(tab));
  return space;
}

// A window's frame: one that does not decode costs only itself, never the window.
std::optional<WindowFrame> frameFrom(const Json& object) {
  const auto found = object.find("windowFrame");
  if (found == object.end()) return std::nullopt;
  auto frame = WindowFrame::fromJson(*found);
  if (!frame) g_warning("session: a window's frame is unusable; the window opens as a new one");
  return frame;
}

void writeFrame(json::JsonWriter& out, const std::optional<WindowFrame>& frame) {
  if (!frame) return;
  out.key("windowFrame").beginObject();
  out.key("width").integer(frame->width).key("height").integer(frame->height);
  out.key("maximized").boolean(frame->maximized);
  if (frame->fullScreen) out.key("fullScreen").boolean(true);
  out.endObject();
}

// The further windows. One that does not decode costs only its own tabs, never the first
// window's, which older browsers wrote alone.
std::vector<SessionSnapshot> windowsFrom(const Json& root) {
  std::vector<SessionSnapshot> windows;
  const auto found = root.find("windows");
  if (found == root.end()) return windows;
  if (!found->is_array()) {
    g_warning("session: the further windows are not a list; they are left out");
    return windows;
  }
  for (const Json& object : *found) {
    try {
      json::requireObject(object);
      SessionSnapshot window;
      for (const Json& space : json::requireArray(object, "spaces")) {
        window.spaces.push_back(spaceFrom(space));
      }
      window.currentSpaceID = json::requireUuid(object, "currentSpaceID");
      window.sidebarVisible = json::requireBool(object, "sidebarVisible");
      window.frame = frameFrom(object);
      windows.push_back(std::move(window));
    } catch (const json::DecodeError& error) {
      g_warning("session: a further window is left out: %s", error.what());
    }
  }
  return windows;
}

template <class Decode>
auto decodeWith(std::string_view bytes, Decode decode)
    -> std::optional<decltype(decode(std::declval<const Json&>()))> {
  const std::optional<Json> document = json::parse(bytes);
  if (!document) return std::nullopt;
  try {
    return decode(*document);
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

// Decodes the file as it is, else with its text repaired: one stray byte in a title must not
// cost every tab. Sets `repaired` when the repair was needed.
template <class Decode>
auto decodeRepairing(const std::string& bytes, Decode decode, bool& repaired)
    -> decltype(decode(std::string_view())) {
  if (auto decoded = decode(bytes)) return decoded;
  const std::string valid = validUtf8(bytes);
  if (valid == bytes) return std::nullopt;
  auto decoded = decode(valid);
  repaired = decoded.has_value();
  return decoded;
}

// Reads one of the two files. A file that is there but unusable is set aside and listed; one
// used only once repaired is copied aside as it was and listed. Whatever could not be kept aside
// is marked, so that nothing is written over it until it is.
template <class Decode>
auto readOrSetAside(const std::filesystem::path& file, const FileToKeepAside& keep, Decode decode,
                    std::vector<SetAsideFile>* setAside) -> decltype(decode(std::string_view())) {
  paths::FileContents contents = paths::readRegularFile(file);
  if (contents.state == paths::FileContents::State::missing) return std::nullopt;
  if (contents.state == paths::FileContents::State::read) {
    bool repaired = false;
    if (auto decoded = decodeRepairing(contents.bytes, decode, repaired)) {
      if (!repaired) return decoded;
      g_warning("%s held text that is not UTF-8; it was repaired", file.c_str());
      auto keptAs = paths::copyAside(file, contents.bytes);
      if (!keptAs) keep.mark();
      if (setAside) setAside->push_back({file, std::move(keptAs), true});
      return decoded;
    }
    g_warning("%s could not be decoded", file.c_str());
  }
  auto keptAs = paths::setAside(file);
  if (!keptAs) keep.mark();
  if (setAside) setAside->push_back({file, std::move(keptAs), false});
  return std::nullopt;
}

}  // namespace

std::vector<Favorite> Favorite::defaults() {
  static constexpr std::pair<const char*, const char*> kRows[] = {
      {"Google", "https://www.google.com"},
      {"YouTube", "https://www.youtube.com"},
      {"GitHub", "https://github.com"},
      {"Apple Developer", "https://developer.apple.com"},
      {"X", "https://x.com"},
      {"Claude", "https://claude.ai"},
      {"Instagram", "https://www.instagram.com"},
      {"WhatsApp", "https://web.whatsapp.com"},
  };
  std::vector<Favorite> favorites;
  for (const auto& [title, address] : kRows) {
    if (auto url = Url::parse(address)) favorites.emplace_back(title, *url);
  }
  return favorites;
}

std::optional<std::string> encodeSession(const SessionSnapshot& session) {
  json::JsonWriter out;
  out.beginObject().key("spaces");
  writeArray(out, session.spaces);
  out.key("currentSpaceID").string(session.currentSpaceID.str()).key("favorites");
  writeArray(out, session.favorites);
  out.key("sidebarVisible").boolean(session.sidebarVisible);
  writeFrame(out, session.frame);
  if (!session.windows.empty()) {
    out.key("windows").beginArray();
    for (const SessionSnapshot& window : session.windows) {
      out.beginObject().key("spaces");
      writeArray(out, window.spaces);
      out.key("currentSpaceID").string(window.currentSpaceID.str());
      out.key("sidebarVisible").boolean(window.sidebarVisible);
      writeFrame(out, window.frame);
      out.endObject();
    }
    out.endArray();
  }
  out.endObject();
  return std::move(out).finish();
}

std::optional<std::string> encodeHistory(const std::vector<HistoryEntry>& history) {
  json::JsonWriter out;
  writeArray(out, history);
  return std::move(out).finish();
}

std::optional<SessionSnapshot> decodeSession(std::string_view bytes) {
  return decodeWith(bytes, [](const Json& root) {
    json::requireObject(root);
    SessionSnapshot session;
    const Json& spaces = json::requireArray(root, "spaces");
    session.spaces.reserve(spaces.size());
    for (const Json& space : spaces) session.spaces.push_back(spaceFrom(space));
    session.currentSpaceID = json::requireUuid(root, "currentSpaceID");
    const Json& favorites = json::requireArray(root, "favorites");
    session.favorites.reserve(favorites.size());
    for (const Json& favorite : favorites) session.favorites.push_back(favoriteFrom(favorite));
    session.sidebarVisible = json::requireBool(root, "sidebarVisible");
    session.frame = frameFrom(root);
    session.windows = windowsFrom(root);
    return session;
  });
}

std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view bytes) {
  return decodeWith(bytes, [](const Json& root) {
    if (!root.is_array()) throw json::DecodeError("history: expected an array");
    std::vector<HistoryEntry> history;
    history.reserve(root.size());
    for (const Json& entry : root) history.push_back(historyEntryFrom(entry));
    return history;
  });
}

SessionFiles::SessionFiles(FolderProvider folder) : folder_(std::move(folder)) {}
SessionFiles::SessionFiles() : SessionFiles(paths::appSupportDirectory) {}

SessionFiles SessionFiles::pinned() const {
  SessionFiles copy = *this;
  copy.folder_ = [folder = folder_()] { return folder; };
  return copy;
}

const FileToKeepAside& SessionFiles::keep(std::string_view name) const {
  auto& kept = name == kSessionFileName ? sessionToKeep_ : historyToKeep_;
  const std::filesystem::path file = folder_() / name;
  if (!kept || kept->first != file) {
    kept = std::make_shared<std::pair<std::filesystem::path, FileToKeepAside>>(
        file, FileToKeepAside(file));
  }
  return kept->second;
}

std::optional<SessionSnapshot> SessionFiles::readSession(
    std::vector<SetAsideFile>* setAside) const {
  return readOrSetAside(folder_() / kSessionFileName, keep(kSessionFileName), decodeSession,
                        setAside);
}

std::vector<HistoryEntry> SessionFiles::readHistory(std::vector<SetAsideFile>* setAside) const {
  return readOrSetAside(folder_() / kHistoryFileName, keep(kHistoryFileName), decodeHistory,
                        setAside)
      .value_or(std::vector<HistoryEntry>());
}

void SessionFiles::removeLeftoverTemporaries() const {
  const auto folder = folder_();
  paths::removeLeftoverTemporaries(folder / kSessionFileName);
  paths::removeLeftoverTemporaries(folder / kHistoryFileName);
}

bool SessionFiles::writeSession(const SessionSnapshot& session) const {
  return writeJSON(encodeSession(session), kSessionFileName);
}

bool SessionFiles::writeHistory(const std::vector<HistoryEntry>& history) const {
  return writeJSON(encodeHistory(history), kHistoryFileName);
}

bool SessionFiles::writeJSON(const std::optional<std::string>& bytes, std::string_view name) const {
  if (!bytes || !keep(name).clearTheWay()) return false;
  return paths::writeFileAtomically(folder_() / name, *bytes);
}

}  // namespace zemblo
