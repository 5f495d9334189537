#include "model/certificate_texts.h"

#include "model/localization.h"

namespace zemblo {
namespace {

using Kind = BrowserTab::CertificateFault::Kind;

std::string faultText(Kind kind) {
  switch (kind) {
    case Kind::untrusted:
      return localized(
          "Sertifikayı tanınan bir kuruluş imzalamamış: kendinden imzalı ya da yayıncısı "
          "bilinmiyor.");
    case Kind::expired:
      return localized("Sertifikanın süresi dolmuş.");
    case Kind::notYetValid:
      return localized("Sertifika henüz geçerli değil.");
    case Kind::wrongHost:
      return localized("Sertifika başka bir sitenin adına verilmiş.");
    case Kind::revoked:
      return localized("Sertifika iptal edilmiş.");
    case Kind::other:
      break;
  }
  return localized("Sertifika güvenli bir bağlantı kurmaya yetmiyor.");
}

}  // namespace

std::string certificateFaultLines(const BrowserTab::CertificateFault& fault) {
  std::string lines;
  for (const Kind kind : fault.kinds) {
    if (!lines.empty()) lines += '\n';
    lines += faultText(kind);
  }
  return lines;
}

std::vector<std::pair<std::string, std::string>> certificateDetails(
    const BrowserTab::CertificateFault& fault) {
  const auto shown = [](const std::string& value) { return value.empty() ? "—" : value; };
  return {{localized("Sahibi"), shown(fault.subject)},
          {localized("Yayıncı"), shown(fault.issuer)},
          {localized("Geçerlilik başlangıcı"), shown(fault.validFrom)},
          {localized("Geçerlilik sonu"), shown(fault.validUntil)}};
}

}  // namespace zemblo
