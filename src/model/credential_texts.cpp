#include "model/credential_texts.h"

#include <algorithm>

#include "model/localization.h"
#include "model/relative_date.h"
#include "platform/text.h"

namespace zemblo {

std::string maskedPassword(const std::string& password) {
  const size_t characters = userPerceivedCharacterStarts(password).size();
  std::string mask;
  for (size_t i = std::clamp<size_t>(characters, 8, 16); i > 0; --i) mask += "•";
  return mask;
}

std::string credentialDateLine(const Credential& credential, Date now) {
  const bool english = L10n::isEnglish();
  if (!credential.lastUsed) {
    return localized("Eklendi: ") + formattedDay(credential.created, english);
  }
  return localized("Son kullanım: ") + relativeDateText(*credential.lastUsed, now, english);
}

std::optional<Url> credentialSiteAddress(const Credential& credential) {
  if (credential.url.find("://") != std::string::npos) return Url::parse(credential.url);
  return Url::parse("https://" + credential.host);
}

}  // namespace zemblo
