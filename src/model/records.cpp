#include "model/records.h"

#include <system_error>
#include <utility>

#include "platform/json_reader.h"
#include "platform/json_writer.h"
#include "platform/paths.h"

namespace zemblo {
namespace {

using json::JsonValue;

Url requireUrl(const JsonValue& object, std::string_view key) {
  std::optional<Url> url = Url::parse(object.requireString(key));
  if (!url) throw json::DecodeError(std::string(key) + ": not a URL");
  return std::move(*url);
}

std::optional<Url> optionalUrl(const JsonValue& object, std::string_view key) {
  const std::optional<std::string_view> text = object.optionalString(key);
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

Favorite favoriteFrom(const JsonValue& object) {
  object.requireObject();
  return Favorite(object.requireUuid("id"), std::string(object.requireString("title")),
                  requireUrl(object, "url"), optionalUrl(object, "faviconURL"));
}

HistoryEntry historyEntryFrom(const JsonValue& object) {
  object.requireObject();
  return HistoryEntry(object.requireUuid("id"), requireUrl(object, "url"),
                      std::string(object.requireString("title")), object.requireDate("date"));
}

TabSnapshot tabFrom(const JsonValue& object) {
  object.requireObject();
  return TabSnapshot{object.requireUuid("id"), optionalUrl(object, "url"),
                     std::string(object.requireString("title")), optionalUrl(object, "faviconURL")};
}

SpaceSnapshot spaceFrom(const JsonValue& object) {
  object.requireObject();
  SpaceSnapshot space{object.requireUuid("id"),
                      std::string(object.requireString("name")),
                      std::string(object.requireString("symbol")),
                      std::string(object.requireString("colorA")),
                      std::string(object.requireString("colorB")),
                      {},
                      object.optionalUuid("selectedTabID")};
  const JsonValue tabs = object.requireArray("tabs");
  space.tabs.reserve(tabs.size());
  for (const JsonValue tab : tabs.elements()) space.tabs.push_back(tabFrom(tab));
  return space;
}

template <class Decode>
auto decodeWith(std::string_view bytes, Decode decode)
    -> std::optional<decltype(decode(std::declval<const JsonValue&>()))> {
  const std::optional<json::JsonDocument> document = json::JsonDocument::parse(bytes);
  if (!document) return std::nullopt;
  try {
    return decode(document->root());
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

// Keeps a file that failed to decode, replacing an older one, so the next save cannot destroy it.
void setAside(const std::filesystem::path& file) {
  std::error_code ignored;
  std::filesystem::rename(file, std::filesystem::path(file) += ".bad", ignored);
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
  out.key("sidebarVisible").boolean(session.sidebarVisible).endObject();
  return std::move(out).finish();
}

std::optional<std::string> encodeHistory(const std::vector<HistoryEntry>& history) {
  json::JsonWriter out;
  writeArray(out, history);
  return std::move(out).finish();
}

std::optional<SessionSnapshot> decodeSession(std::string_view bytes) {
  return decodeWith(bytes, [](const JsonValue& root) {
    root.requireObject();
    SessionSnapshot session;
    const JsonValue spaces = root.requireArray("spaces");
    session.spaces.reserve(spaces.size());
    for (const JsonValue space : spaces.elements()) session.spaces.push_back(spaceFrom(space));
    session.currentSpaceID = root.requireUuid("currentSpaceID");
    const JsonValue favorites = root.requireArray("favorites");
    session.favorites.reserve(favorites.size());
    for (const JsonValue favorite : favorites.elements()) {
      session.favorites.push_back(favoriteFrom(favorite));
    }
    session.sidebarVisible = root.requireBool("sidebarVisible");
    return session;
  });
}

std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view bytes) {
  return decodeWith(bytes, [](const JsonValue& root) {
    if (!root.isArray()) throw json::DecodeError("history: expected an array");
    std::vector<HistoryEntry> history;
    history.reserve(root.size());
    for (const JsonValue entry : root.elements()) history.push_back(historyEntryFrom(entry));
    return history;
  });
}

SessionFiles::SessionFiles(FolderProvider folder) : folder_(std::move(folder)) {}
SessionFiles::SessionFiles() : SessionFiles(paths::appSupportDirectory) {}

std::optional<SessionSnapshot> SessionFiles::readSession() const {
  const auto file = folder_() / kSessionFileName;
  auto bytes = paths::readFile(file);
  if (!bytes) return std::nullopt;
  auto session = decodeSession(*bytes);
  if (!session) setAside(file);
  return session;
}

std::vector<HistoryEntry> SessionFiles::readHistory() const {
  const auto file = folder_() / kHistoryFileName;
  auto bytes = paths::readFile(file);
  if (!bytes) return {};
  if (auto history = decodeHistory(*bytes)) return std::move(*history);
  setAside(file);
  return {};
}

bool SessionFiles::writeSession(const SessionSnapshot& session) const {
  return writeJSON(encodeSession(session), kSessionFileName);
}

bool SessionFiles::writeHistory(const std::vector<HistoryEntry>& history) const {
  return writeJSON(encodeHistory(history), kHistoryFileName);
}

bool SessionFiles::writeJSON(const std::optional<std::string>& bytes, std::string_view name) const {
  if (!bytes) return false;
  return paths::writeFileAtomically(folder_() / name, *bytes);
}

}  // namespace zemblo
