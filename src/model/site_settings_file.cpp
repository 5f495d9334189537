#include "model/site_settings_file.h"

#include <glib.h>

#include "platform/paths.h"

namespace zemblo {
namespace {

constexpr const char* kPermissionsKey = "permissions";
constexpr const char* kZoomKey = "zoom";

std::string_view decisionKey(PermissionDecision decision) {
  return decision == PermissionDecision::allow ? "allow" : "block";
}

std::optional<PermissionDecision> decisionNamed(std::string_view key) {
  if (key == "allow") return PermissionDecision::allow;
  if (key == "block") return PermissionDecision::block;
  return std::nullopt;
}

SitePermissions::Decisions permissionsFrom(const json::Json& value) {
  json::requireObject(value);
  SitePermissions::Decisions decisions;
  for (const auto& [origin, kinds] : value.items()) {
    json::requireObject(kinds);
    for (const auto& [key, decision] : kinds.items()) {
      const std::string name = json::stringValue(decision);
      const auto kind = permissionKindNamed(key);
      const auto answer = decisionNamed(name);
      if (kind && answer) decisions[origin][*kind] = *answer;
    }
  }
  return decisions;
}

}  // namespace

std::optional<std::string> encodeSiteSettings(const SiteSettings& settings) {
  json::Json root = settings.otherKeys.is_object() ? settings.otherKeys : json::Json::object();
  if (!settings.zoom.empty()) root[kZoomKey] = SiteZoom::toJson(settings.zoom);
  json::Json permissions = json::Json::object();
  for (const auto& [origin, kinds] : settings.permissions) {
    json::Json site = json::Json::object();
    for (const auto& [kind, decision] : kinds) {
      site[std::string(permissionKey(kind))] = std::string(decisionKey(decision));
    }
    if (!site.empty()) permissions[origin] = std::move(site);
  }
  root[kPermissionsKey] = std::move(permissions);
  return json::encode(root);
}

std::optional<SiteSettings> decodeSiteSettings(std::string_view bytes) {
  const std::optional<json::Json> document = json::parse(bytes);
  if (!document) return std::nullopt;
  try {
    json::requireObject(*document);
    SiteSettings settings;
    for (const auto& [key, value] : document->items()) {
      if (key == kPermissionsKey) {
        settings.permissions = permissionsFrom(value);
      } else if (key == kZoomKey) {
        settings.zoom = SiteZoom::levelsFrom(value);
      } else {
        settings.otherKeys[key] = value;
      }
    }
    return settings;
  } catch (const json::DecodeError&) {
    return std::nullopt;
  }
}

SiteSettings SiteSettingsFile::read(std::vector<SetAsideFile>* setAside) const {
  const std::filesystem::path file = folder_ / kFileName;
  paths::FileContents contents = paths::readRegularFile(file);
  if (contents.state == paths::FileContents::State::missing) return {};
  if (contents.state == paths::FileContents::State::read) {
    if (auto decoded = decodeSiteSettings(contents.bytes)) return std::move(*decoded);
    g_warning("%s could not be decoded", file.c_str());
  }
  auto keptAs = paths::setAside(file);
  if (setAside) setAside->push_back({file, std::move(keptAs)});
  return {};
}

bool SiteSettingsFile::write(const SiteSettings& settings) const {
  const auto bytes = encodeSiteSettings(settings);
  return bytes && paths::writeFileAtomically(folder_ / kFileName, *bytes);
}

void SiteSettingsFile::removeLeftoverTemporaries() const {
  paths::removeLeftoverTemporaries(folder_ / kFileName);
}

}  // namespace zemblo
