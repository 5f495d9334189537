#include "passwords/import_source.h"

#include "model/localization.h"

namespace zemblo {

std::string importSourceTitle(ImportSource source) {
  switch (source) {
    case ImportSource::chrome:
      return "Chrome";
    case ImportSource::safari:
      return "Safari";
    case ImportSource::firefox:
      return "Firefox";
    case ImportSource::edge:
      return "Edge";
    case ImportSource::brave:
      return "Brave";
    case ImportSource::other:
      return localized("Diğer");
  }
  return {};
}

std::vector<std::string> importSourceSteps(ImportSource source) {
  const char* chromeDownload = "\"Şifreleri dışa aktar\" satırında \"Dosyayı indir\"e tıkla.";
  const char* enterPassword = "Hesap parolanı gir ve CSV dosyasını kaydet.";
  std::vector<const char*> steps;
  switch (source) {
    case ImportSource::chrome:
      steps = {"Chrome'da adres çubuğuna chrome://password-manager/settings yaz.", chromeDownload,
               "Hesap parolanı gir. \"Chrome Passwords.csv\" İndirilenler klasörüne kaydedilir."};
      break;
    case ImportSource::safari:
      steps = {"Şifreler uygulamasını aç (eski macOS'ta Safari › Ayarlar › Parolalar).",
               "Menü çubuğunda Dosya › Tüm Şifreleri Dosyaya Aktar… seç.",
               "Touch ID ya da Mac parolanla onayla ve CSV dosyasını kaydet."};
      break;
    case ImportSource::firefox:
      steps = {"Firefox'ta adres çubuğuna about:logins yaz.",
               "Sağ üstteki ••• menüsünden \"Parolaları dışa aktar…\" seç.",
               "Uyarıyı onayla ve logins.csv dosyasını kaydet."};
      break;
    case ImportSource::edge:
      steps = {"Edge'de edge://wallet/passwords aç (eski sürümlerde edge://settings/passwords).",
               "••• menüsünden \"Parolaları dışa aktar\" seç.", enterPassword};
      break;
    case ImportSource::brave:
      steps = {"Brave'de adres çubuğuna brave://password-manager/settings yaz.", chromeDownload,
               enterPassword};
      break;
    case ImportSource::other:
      steps = {"1Password, Bitwarden, Proton Pass ve çoğu şifre yöneticisi CSV dışa aktarabilir.",
               "Uygulamanın ayarlarındaki \"Dışa aktar\" bölümünden CSV biçimini seç.",
               "Dosyada adres (url), kullanıcı adı (username) ve şifre (password) sütunları "
               "olması yeterli."};
      break;
  }
  std::vector<std::string> texts;
  for (const char* step : steps) texts.push_back(localized(step));
  return texts;
}

}  // namespace zemblo
