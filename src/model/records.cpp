#include "model/records.h"

#include <system_error>

#include "platform/paths.h"

namespace zemblo {
namespace {

using json::Json;

Url requireUrl(const Json& object, std::string_view key) {
  auto url = Url::parse(json::requireString(object, key));
  if (!url) throw json::DecodeError(std::string(key) + ": not a URL");
  return *url;
}

std::optional<Url> optionalUrl(const Json& object, std::string_view key) {
  auto text = json::optionalString(object, key);
  if (!text) return std::nullopt;
  auto url = Url::parse(*text);
  if (!url) throw json::DecodeError(std::string(key) + ": not a URL");
  return url;
}

template <class T>
void putOptional(Json& object, const char* key, const std::optional<T>& value) {
  if (value) object[key] = value->str();
}

Json toJson(const Favorite& favorite) {
  Json object = {{"id", favorite.id.str()}, {"title", favorite.title}, {"url", favorite.url.str()}};
  putOptional(object, "faviconURL", favorite.faviconURL);
  return object;
}

Json toJson(const HistoryEntry& entry) {
  return {{"id", entry.id.str()},
          {"url", entry.url.str()},
          {"title", entry.title},
          {"date", entry.date.secondsSince2001}};
}

Json toJson(const TabSnapshot& tab) {
  Json object = {{"id", tab.id.str()}};
  putOptional(object, "url", tab.url);
  object["title"] = tab.title;
  putOptional(object, "faviconURL", tab.faviconURL);
  return object;
}

Json toJson(const SpaceSnapshot& space) {
  Json tabs = Json::array();
  for (const auto& tab : space.tabs) tabs.push_back(toJson(tab));
  Json object = {{"id", space.id.str()},   {"name", space.name},     {"symbol", space.symbol},
                 {"colorA", space.colorA}, {"colorB", space.colorB}, {"tabs", std::move(tabs)}};
  if (space.selectedTabID) object["selectedTabID"] = space.selectedTabID->str();
  return object;
}

template <class T, class Convert>
Json arrayOf(const std::vector<T>& values, Convert convert) {
  Json array = Json::array();
  for (const auto& value : values) array.push_back(convert(value));
  return array;
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
  for (const auto& tab : json::requireArray(object, "tabs")) space.tabs.push_back(tabFrom(tab));
  return space;
}

template <class Decode>
auto decodeWith(std::string_view bytes, Decode decode) -> std::optional<decltype(decode(Json{}))> {
  auto parsed = json::parse(bytes);
  if (!parsed) return std::nullopt;
  try {
    return decode(*parsed);
  } catch (const json::DecodeError&) {
    return std::nullopt;
  } catch (const nlohmann::json::exception&) {
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
  Json object = {
      {"spaces", arrayOf(session.spaces, [](const auto& s) { return toJson(s); })},
      {"currentSpaceID", session.currentSpaceID.str()},
      {"favorites", arrayOf(session.favorites, [](const auto& f) { return toJson(f); })},
      {"sidebarVisible", session.sidebarVisible},
  };
  return json::encode(object);
}

std::optional<std::string> encodeHistory(const std::vector<HistoryEntry>& history) {
  return json::encode(arrayOf(history, [](const auto& entry) { return toJson(entry); }));
}

std::optional<SessionSnapshot> decodeSession(std::string_view bytes) {
  return decodeWith(bytes, [](const Json& root) {
    json::requireObject(root);
    SessionSnapshot session;
    for (const auto& space : json::requireArray(root, "spaces")) {
      session.spaces.push_back(spaceFrom(space));
    }
    session.currentSpaceID = json::requireUuid(root, "currentSpaceID");
    for (const auto& favorite : json::requireArray(root, "favorites")) {
      session.favorites.push_back(favoriteFrom(favorite));
    }
    session.sidebarVisible = json::requireBool(root, "sidebarVisible");
    return session;
  });
}

std::optional<std::vector<HistoryEntry>> decodeHistory(std::string_view bytes) {
  return decodeWith(bytes, [](const Json& root) {
    if (!root.is_array()) throw json::DecodeError("history: expected an array");
    std::vector<HistoryEntry> history;
    history.reserve(root.size());
    for (const auto& entry : root) history.push_back(historyEntryFrom(entry));
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
