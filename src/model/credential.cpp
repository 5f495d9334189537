#include "model/credential.h"

#include "platform/foundation_json.h"
#include "platform/json_writer.h"

namespace zemblo {
namespace {

using json::Json;

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

Credential credentialFrom(const Json& object) {
  json::requireObject(object);
  Credential credential;
  credential.id = json::requireUuid(object, "id");
  credential.host = json::requireString(object, "host");
  credential.url = json::requireString(object, "url");
  credential.username = json::requireString(object, "username");
  credential.password = json::requireString(object, "password");
  credential.title = json::requireString(object, "title");
  credential.notes = json::requireString(object, "notes");
  credential.created = json::requireDate(object, "created");
  credential.modified = json::requireDate(object, "modified");
  if (const auto lastUsed = object.find("lastUsed");
      lastUsed != object.end() && !lastUsed->is_null()) {
    credential.lastUsed = json::requireDate(object, "lastUsed");
  }
  return credential;
}

}  // namespace

std::optional<std::string> encodeCredentials(const std::vector<Credential>& credentials) {
  json::JsonWriter out;
  out.beginArray();
  for (const Credential& credential : credentials) write(out, credential);
  out.endArray();
  return std::move(out).finish();
}

std::optional<std::vector<Credential>> decodeCredentials(std::string_view bytes) {
  const std::optional<Json> document = json::parse(bytes);
  if (!document || !document->is_array()) return std::nullopt;
  std::vector<Credential> credentials;
  try {
    for (const Json& element : *document) credentials.push_back(credentialFrom(element));
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
  return credentials;
}

}  // namespace zemblo
