#include "model/autofill_bridge.h"

#include <optional>

#include "model/host_rules.h"
#include "model/login_origin.h"
#include "model/password_offers.h"
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
  LoginOrigin origin;
  std::optional<Url> address;
};

std::optional<std::string_view> stringMember(const Json& body, std::string_view key) {
  const auto value = body.find(key);
  if (value == body.end() || !value->is_string()) return std::nullopt;
  return value->get_ref<const std::string&>();
}

// Frames of web pages only: "file:", "about:" and opaque origins ("null") get no answer.
std::optional<Frame> frameOf(const Json& body) {
  const auto text = stringMember(body, "origin");
  const std::optional<Url> url = text ? Url::parse(*text) : std::nullopt;
  // The origin as the page serialises it: the scheme as the engine writes it, lower-case.
  const std::optional<std::string> scheme = url ? url->scheme() : std::nullopt;
  if (!scheme || (*scheme != "http" && *scheme != "https")) return std::nullopt;
  std::optional<LoginOrigin> origin = LoginOrigin::ofPage(*url);
  if (!origin) return std::nullopt;
  Frame frame{std::move(*origin), std::nullopt};
  // The page's own address, when it is a web address of the same origin; an "about:blank" frame
  // shares its creator's origin but has no address worth keeping.
  const auto href = stringMember(body, "href");
  if (std::optional<Url> page = href ? Url::parse(*href) : std::nullopt;
      page && page->scheme() == scheme && LoginOrigin::ofPage(*page) == frame.origin) {
    frame.address = std::move(page);
  }
  return frame;
}

SiteRelation relationOf(const Frame& frame, const Credential& credential,
                        const std::optional<RegistrableDomain>& site) {
  if (!schemeAndPortAllow(LoginOrigin::ofLogin(credential), frame.origin)) {
    return SiteRelation::unrelated;
  }
  return siteRelation(credential.host, frame.origin.host, site);
}

void submit(PasswordStore& vault, PasswordOffers& offers, const Frame& frame, const Json& body) {
  const std::string username(stringMember(body, "username").value_or(""));
  const auto password = stringMember(body, "password");
  if (!password || password->empty()) return;
  const std::string& host = frame.origin.host;
  if (vault.neverSaveHosts.peek().contains(host)) return;
  // Nothing is offered that could not be written, nor before the keyring has been read.
  if (vault.state.peek() != VaultState::available) return;
  const SaveDecision decision = vault.saveDecision(frame.origin, username, *password);
  if (decision == SaveDecision::alreadySaved) return;
  // The offer keeps the origin's address, port included, even when the page's own is unknown.
  std::optional<Url> address = frame.address;
  if (!address) address = Url::parse(*frame.origin.scheme + "://" + frame.origin.hostAndPort());
  offers.offer(PendingCredential{host, std::move(address), username, std::string(*password),
                                 decision == SaveDecision::update});
}

std::optional<Frame> frameOf(std::string_view message) {
  const std::optional<Json> document = json::parse(message);
  if (!document || !document->is_object()) return std::nullopt;
  return frameOf(*document);
}

}  // namespace

AutofillBridge::AutofillBridge(std::weak_ptr<PasswordStore> vault,
                               std::weak_ptr<PasswordOffers> offers)
    : vault_(std::move(vault)), offers_(std::move(offers)) {}

std::string AutofillBridge::reply(std::string_view message) {
  const auto vault = vault_.lock();
  const auto offers = offers_.lock();
  const std::optional<Json> document = json::parse(message);
  if (!vault || !offers || !document || !document->is_object()) return std::string(kNoAnswer);
  const Json& body = *document;
  const std::optional<Frame> frame = frameOf(body);
  if (frame && stringMember(body, "type") == "submit") submit(*vault, *offers, *frame, body);
  return std::string(kNoAnswer);
}

std::optional<std::vector<AutofillMenu::Row>> AutofillBridge::menuRows(
    std::string_view message) const {
  const auto vault = vault_.lock();
  const std::optional<Frame> frame = vault ? frameOf(message) : std::nullopt;
  if (!frame) return std::nullopt;
  const std::optional<RegistrableDomain> site = registrableDomain(frame->origin.host);
  std::vector<AutofillMenu::Row> rows;
  const auto add = [&](const std::vector<Credential>& logins, bool otherHost) {
    for (const Credential& login : logins) {
      if (relationOf(*frame, login, site) == SiteRelation::unrelated) continue;
      rows.push_back(
          {login.id, login.username, LoginOrigin::ofLogin(login).hostAndPort(), otherHost});
    }
  };
  add(vault->credentialsFor(frame->origin), false);
  add(vault->credentialsForOtherHostsOfSite(frame->origin), true);
  return rows;
}

std::string AutofillBridge::chosenLogin(std::string_view message, const Uuid& id) {
  const auto vault = vault_.lock();
  const std::optional<Frame> frame = vault ? frameOf(message) : std::nullopt;
  const std::optional<Credential> login = frame ? vault->credential(id) : std::nullopt;
  if (!login || relationOf(*frame, *login, registrableDomain(frame->origin.host)) ==
                    SiteRelation::unrelated) {
    return std::string(kNoAnswer);
  }
  vault->markUsed(login->id);
  json::JsonWriter out;
  out.beginObject().key("username").string(login->username);
  out.key("password").string(login->password).endObject();
  return std::move(out).finish().value_or(std::string(kNoAnswer));
}

}  // namespace zemblo
