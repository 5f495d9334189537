#include "web/certificate_exceptions.h"

#include <memory>
#include <optional>
#include <set>

namespace zemblo {
namespace {

constexpr const char* kOriginsKey = "zemblo-certificate-exceptions";

struct GUriUnref {
  void operator()(GUri* uri) const { g_uri_unref(uri); }
};

struct Origin {
  std::string host;
  std::string key;  // scheme, host and port, the port spelled out even where it is the default
};

std::optional<Origin> originOf(const std::string& uri) {
  const std::unique_ptr<GUri, GUriUnref> parsed(
      g_uri_parse(uri.c_str(), G_URI_FLAGS_NONE, nullptr));
  const char* host = parsed ? g_uri_get_host(parsed.get()) : nullptr;
  if (!host || !*host) return std::nullopt;
  g_autofree gchar* scheme = g_ascii_strdown(g_uri_get_scheme(parsed.get()), -1);
  g_autofree gchar* lowered = g_ascii_strdown(host, -1);
  int port = g_uri_get_port(parsed.get());
  if (port < 0) port = g_str_equal(scheme, "https") ? 443 : 80;
  return Origin{host, std::string(scheme) + "://" + lowered + ":" + std::to_string(port)};
}

std::set<std::string>& originsOf(WebKitNetworkSession* session) {
  auto* origins =
      static_cast<std::set<std::string>*>(g_object_get_data(G_OBJECT(session), kOriginsKey));
  if (!origins) {
    // Owned by the session, and gone with it.
    origins = std::make_unique<std::set<std::string>>().release();
    g_object_set_data_full(G_OBJECT(session), kOriginsKey, origins, [](gpointer data) {
      std::unique_ptr<std::set<std::string>>(static_cast<std::set<std::string>*>(data));
    });
  }
  return *origins;
}

}  // namespace

bool allowCertificateFor(WebKitNetworkSession* session, GTlsCertificate* certificate,
                         const std::string& uri) {
  const auto origin = originOf(uri);
  if (!origin) return false;
  webkit_network_session_allow_tls_certificate_for_host(session, certificate, origin->host.c_str());
  originsOf(session).insert(origin->key);
  return true;
}

bool certificateAllowedFor(WebKitNetworkSession* session, const std::string& uri) {
  const auto origin = originOf(uri);
  return origin && originsOf(session).contains(origin->key);
}

}  // namespace zemblo
