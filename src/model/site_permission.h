#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/url.h"

namespace zemblo {

// What a site may ask to use. A page asking for the camera and the microphone at once asks for
// both in one question, but the answer is kept for each of them.
enum class PermissionKind {
  notifications,
  geolocation,
  camera,
  microphone,
  cameraAndMicrophone,
  displayCapture,
  deviceInfo,
  clipboard,
  pointerLock,
  mediaKeys,
  storageAccess,
};

enum class PermissionDecision { allow, block };

// The name a kind is kept under in the site-settings file; never for cameraAndMicrophone, which
// is kept as its two parts.
std::string_view permissionKey(PermissionKind kind);
std::optional<PermissionKind> permissionKindNamed(std::string_view key);
// The kinds an answer to `kind` is remembered as: none for storage access, whose question names
// another site, so that one answer never lets every embedded site in.
std::vector<PermissionKind> rememberedKinds(PermissionKind kind);

// The question over the page, in the interface language: "<host> wants to …".
std::string permissionQuestion(PermissionKind kind, std::string_view host,
                               std::string_view detail = {});
// The permission's name in the list of remembered answers.
std::string permissionName(PermissionKind kind);

// A site as permissions are kept for it: scheme, host and port, "https://example.com:443". The
// scheme and host are lower-cased and a missing port is the scheme's default; nothing for an
// address without a host (a file, a data URL).
std::optional<std::string> siteOrigin(std::string_view scheme, std::string_view host, int port);
std::optional<std::string> siteOrigin(const Url& url);
// The host part of a site origin, for the question and the settings list.
std::string siteHost(std::string_view origin);

}  // namespace zemblo
