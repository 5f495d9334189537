#include "web/certificate_fault_reading.h"

#include <string>
#include <utility>

namespace zemblo {
namespace {

using Kind = BrowserTab::CertificateFault::Kind;

std::vector<Kind> kindsOf(GTlsCertificateFlags faults) {
  static constexpr std::pair<GTlsCertificateFlags, Kind> kNamed[] = {
      {G_TLS_CERTIFICATE_UNKNOWN_CA, Kind::untrusted},
      {G_TLS_CERTIFICATE_EXPIRED, Kind::expired},
      {G_TLS_CERTIFICATE_NOT_ACTIVATED, Kind::notYetValid},
      {G_TLS_CERTIFICATE_BAD_IDENTITY, Kind::wrongHost},
      {G_TLS_CERTIFICATE_REVOKED, Kind::revoked},
  };
  std::vector<Kind> kinds;
  unsigned named = 0;
  for (const auto& [flag, kind] : kNamed) {
    named |= flag;
    if (faults & flag) kinds.push_back(kind);
  }
  // An insecure algorithm, a generic error or a flag of a later GLib.
  if ((faults & ~named) != 0 || kinds.empty()) kinds.push_back(Kind::other);
  return kinds;
}

// The certificate's own words, which may be anything its maker wrote: taken as text, never
// as markup, and only when they are valid UTF-8.
std::string stringProperty(GTlsCertificate* certificate, const char* name) {
  g_autofree gchar* value = nullptr;
  g_object_get(certificate, name, &value, nullptr);
  return value && g_utf8_validate(value, -1, nullptr) ? value : "";
}

std::string dateProperty(GTlsCertificate* certificate, const char* name) {
  g_autoptr(GDateTime) value = nullptr;
  g_object_get(certificate, name, &value, nullptr);
  if (!value) return {};
  g_autoptr(GDateTime) universal = g_date_time_to_utc(value);
  g_autofree gchar* formatted =
      universal ? g_date_time_format(universal, "%Y-%m-%d %H:%M UTC") : nullptr;
  return formatted ? formatted : "";
}

}  // namespace

BrowserTab::CertificateFault readCertificateFault(GTlsCertificate* certificate,
                                                  GTlsCertificateFlags faults) {
  BrowserTab::CertificateFault fault;
  fault.kinds = kindsOf(faults);
  if (!certificate) return fault;
  fault.subject = stringProperty(certificate, "subject-name");
  fault.issuer = stringProperty(certificate, "issuer-name");
  fault.validFrom = dateProperty(certificate, "not-valid-before");
  fault.validUntil = dateProperty(certificate, "not-valid-after");
  return fault;
}

}  // namespace zemblo
