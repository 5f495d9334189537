#include "model/credential.h"

#include "platform/json_reader.h"
#include "platform/json_writer.h"
#include "platform/text.h"
#include "platform/url.h"

namespace zemblo {
namespace {

using json::JsonValue;

void write(json::JsonWriter& out, const Credential& credential) {
  out.beginObject().key("id").string(credential.id.str());
  out.key("host").string(credential.host).key("url").string(credential.url);
  out.key("username").string(credential.username).key("password").string(credential.password);
  out.key("title").string(credential.title).key("notes").string(credential.notes);
  out.key("created").number(credential.created.secondsSince2001);
  out.key("modified").number(credential.modified.secondsSince2001);
  if (credential.lastUsed) out.key("lastUsed").number(credential.lastUsed->secondsSince2001);
  out.endObject();
}

Credential credentialFrom(const JsonValue& object) {
  object.requireObject();
  Credential credential;
  credential.id = object.requireUuid("id");
  credential.host = object.requireString("host");
  credential.url = object.requireString("url");
  credential.username = object.requireString("username");
  credential.password = object.requireString("password");
  credential.title = object.requireString("title");
  credential.notes = object.requireString("notes");
  credential.created = object.requireDate("created");
  credential.modified = object.requireDate("modified");
  if (const auto lastUsed = object.find("lastUsed"); lastUsed && !lastUsed->isNull()) {
    credential.lastUsed = object.requireDate("lastUsed");
  }
  return credential;
}

}  // namespace

bool Credential::belongsToSecurePage() const {
  const std::optional<Url> address = Url::parse(trimmedWhitespaceAndNewlines(url));
  const std::optional<std::string> scheme = address ? address->scheme() : std::nullopt;
  return scheme && asciiLowercased(*scheme) == "https";
}

std::optional<std::string> encodeCredentials(const std::vector<Credential>& credentials) {
  json::JsonWriter out;
  out.beginArray();
  for (const Credential& credential : credentials) write(out, credential);
  out.endArray();
  return std::move(out).finish();
}

std::optional<std::vector<Credential>> decodeCredentials(std::string_view bytes) {
  const std::optional<json::JsonDocument> document = json::JsonDocument::parse(bytes);
  if (!document || !document->root().isArray()) return std::nullopt;
  std::vector<Credential> credentials;
  try {
    for (const JsonValue element : document->root().elements()) {
      credentials.push_back(credentialFrom(element));
    }
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
  return credentials;
}

}  // namespace zemblo
