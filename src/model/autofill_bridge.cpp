#include "model/autofill_bridge.h"

#include <optional>

#include "model/browser_store.h"
#include "model/host_rules.h"
#include "model/password_store.h"
#include "platform/foundation_json.h"
#include "platform/json_writer.h"
#include "platform/url.h"

namespace zemblo {
namespace {

using json::Json;

constexpr std::string_view kNoAnswer = "null";

// The frame that sent a message, as its script saw it.
struct Frame {
  std::string host;
  bool secure = false;
  std::optional<Url> address;
};

std::optional<std::string_view> stringMember(const Json& body, std::string_view key) {
  const auto value = body.find(key);
  if (value == body.end() || !value->is_string()) return std::nullopt;
  return value->get_ref<const std::string&>();
}

// Frames of web pages only: "file:", "about:" and opaque origins ("null") get no answer.
std::optional<Frame> frameOf(const Json& body) {
  const auto origin = stringMember(body, "origin");
  const std::optional<Url> url = origin ? Url::parse(*origin) : std::nullopt;
  const std::optional<std::string> scheme = url ? url->scheme() : std::nullopt;
  if (!scheme || (*scheme != "http" && *scheme != "https")) return std::nullopt;
  const std::optional<std::string> host = url->host();
  std::optional<std::string> site = host ? normalizedHost(*host) : std::nullopt;
  if (!site) return std::nullopt;
  Frame frame{std::move(*site), *scheme == "https", url};
  // The page's own address, when it is a web address of the same site; an "about:blank" frame
  // shares its creator's origin but has no address worth keeping.
  const auto href = stringMember(body, "href");
  if (std::optional<Url> page = href ? Url::parse(*href) : std::nullopt;
      page && page->scheme() == scheme && page->host() &&
      normalizedHost(*page->host()) == frame.host) {
    frame.address = std::move(page);
  }
  return frame;
}

bool mayReceive(const Frame& frame, const Credential& credential) {
  return hostsMatch(credential.host, frame.host) &&
         (frame.secure || !credential.belongsToSecurePage());
}

std::string query(const PasswordStore& vault, const Frame& frame) {
  json::JsonWriter out;
  out.beginArray();
  for (const Credential& credential : vault.credentialsForHost(frame.host)) {
    if (!mayReceive(frame, credential)) continue;
    out.beginObject().key("id").string(credential.id.str());
    out.key("username").string(credential.username).key("host").string(credential.host);
    out.endObject();
  }
  out.endArray();
  return std::move(out).finish().value_or(std::string(kNoAnswer));
}

std::string fill(PasswordStore& vault, const Frame& frame, const Json& body) {
  const auto text = stringMember(body, "id");
  const std::optional<Uuid> id = text ? Uuid::parse(*text) : std::nullopt;
  const std::optional<Credential> credential = id ? vault.credential(*id) : std::nullopt;
  if (!credential || !mayReceive(frame, *credential)) return std::string(kNoAnswer);
  vault.markUsed(credential->id);
  json::JsonWriter out;
  out.beginObject().key("username").string(credential->username);
  out.key("password").string(credential->password).endObject();
  return std::move(out).finish().value_or(std::string(kNoAnswer));
}

void submit(BrowserStore& store, const Frame& frame, const Json& body) {
  const std::string username(stringMember(body, "username").value_or(""));
  const auto password = stringMember(body, "password");
  if (!password || password->empty()) return;
  PasswordStore& vault = store.passwords();
  if (vault.neverSaveHosts.peek().contains(frame.host)) return;
  // Nothing is offered that could not be written, nor before the keyring has been read.
  if (vault.state.peek() != VaultState::available) return;
  const SaveDecision decision = vault.saveDecision(frame.host, username, *password);
  if (decision == SaveDecision::alreadySaved) return;
  store.offerCredential(PendingCredential{frame.host, frame.address, username,
                                          std::string(*password),
                                          decision == SaveDecision::update});
}

}  // namespace

std::string AutofillBridge::reply(std::string_view message) {
  const auto store = browser.lock();
  const std::optional<Json> document = json::parse(message);
  if (!store || !document || !document->is_object()) return std::string(kNoAnswer);
  const Json& body = *document;
  const auto type = stringMember(body, "type");
  const std::optional<Frame> frame = type ? frameOf(body) : std::nullopt;
  if (!frame) return std::string(kNoAnswer);
  if (*type == "query") return query(store->passwords(), *frame);
  if (*type == "fill") return fill(store->passwords(), *frame, body);
  if (*type == "submit") submit(*store, *frame, body);
  return std::string(kNoAnswer);
}

}  // namespace zemblo
