#include "model/site_permission.h"

#include <array>
#include <utility>

#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {
namespace {

struct KindTexts {
  PermissionKind kind;
  std::string_view key;
  std::string_view question;  // Turkish, "%@" the host
  std::string_view name;
};

constexpr std::array kKinds{
    KindTexts{PermissionKind::notifications, "notifications", "%@ bildirim göndermek istiyor",
              "Bildirimler"},
    KindTexts{PermissionKind::geolocation, "geolocation", "%@ konumunu öğrenmek istiyor",
              "Konum bilgisi"},
    KindTexts{PermissionKind::camera, "camera", "%@ kameranı kullanmak istiyor", "Kamera"},
    KindTexts{PermissionKind::microphone, "microphone", "%@ mikrofonunu kullanmak istiyor",
              "Mikrofon"},
    KindTexts{PermissionKind::cameraAndMicrophone, "",
              "%@ kameranı ve mikrofonunu kullanmak istiyor", "Kamera ve mikrofon"},
    KindTexts{PermissionKind::displayCapture, "displayCapture", "%@ ekranını paylaşmak istiyor",
              "Ekran paylaşımı"},
    KindTexts{PermissionKind::deviceInfo, "deviceInfo",
              "%@ kameralarının ve mikrofonlarının listesini görmek istiyor", "Cihaz listesi"},
    KindTexts{PermissionKind::clipboard, "clipboard", "%@ panodakileri okumak istiyor", "Pano"},
    KindTexts{PermissionKind::pointerLock, "pointerLock",
              "%@ fare imlecini gizleyip kilitlemek istiyor", "İmleç kilidi"},
    KindTexts{PermissionKind::mediaKeys, "mediaKeys", "%@ korumalı içerik oynatmak istiyor",
              "Korumalı içerik"},
    KindTexts{PermissionKind::storageAccess, "storageAccess",
              "%@, %@ üzerindeyken çerezlerini kullanmak istiyor", "Çerez erişimi"},
};

const KindTexts& textsOf(PermissionKind kind) {
  for (const KindTexts& texts : kKinds) {
    if (texts.kind == kind) return texts;
  }
  return kKinds.front();
}

std::optional<int> defaultPort(std::string_view scheme) {
  if (scheme == "http" || scheme == "ws") return 80;
  if (scheme == "https" || scheme == "wss") return 443;
  return std::nullopt;
}

}  // namespace

std::string_view permissionKey(PermissionKind kind) { return textsOf(kind).key; }

std::optional<PermissionKind> permissionKindNamed(std::string_view key) {
  if (key.empty()) return std::nullopt;
  for (const KindTexts& texts : kKinds) {
    if (texts.key == key) return texts.kind;
  }
  return std::nullopt;
}

std::vector<PermissionKind> rememberedKinds(PermissionKind kind) {
  switch (kind) {
    case PermissionKind::cameraAndMicrophone:
      return {PermissionKind::camera, PermissionKind::microphone};
    case PermissionKind::storageAccess:
      return {};
    default:
      return {kind};
  }
}

std::string permissionQuestion(PermissionKind kind, std::string_view host,
                               std::string_view detail) {
  if (kind == PermissionKind::storageAccess) {
    // The embedded site asks while the user is on `host`.
    return withArgument(withArgument(localized(textsOf(kind).question), detail), host);
  }
  return withArgument(localized(textsOf(kind).question), host);
}

std::string permissionName(PermissionKind kind) { return localized(textsOf(kind).name); }

std::optional<std::string> siteOrigin(std::string_view scheme, std::string_view host, int port) {
  if (scheme.empty() || host.empty()) return std::nullopt;
  const std::string lowerScheme = asciiLowercased(scheme);
  if (port <= 0) {
    const auto fallback = defaultPort(lowerScheme);
    if (!fallback) return std::nullopt;
    port = *fallback;
  }
  return lowerScheme + "://" + asciiLowercased(host) + ":" + std::to_string(port);
}

std::optional<std::string> siteOrigin(const Url& url) {
  const auto scheme = url.scheme();
  const auto host = url.host();
  if (!scheme || !host) return std::nullopt;
  return siteOrigin(*scheme, *host, url.port().value_or(0));
}

std::string siteHost(std::string_view origin) {
  const size_t start = origin.find("://");
  std::string_view rest = start == std::string_view::npos ? origin : origin.substr(start + 3);
  const size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos) rest = rest.substr(0, colon);
  return std::string(rest);
}

}  // namespace zemblo
