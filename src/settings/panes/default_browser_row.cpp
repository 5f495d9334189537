#include "settings/panes/default_browser_row.h"

#include "model/localization.h"
#include "platform/main_loop.h"

namespace zemblo {

using default_browser::Status;

DefaultBrowserRow::DefaultBrowserRow()
    : SettingsRow(localized("Varsayılan tarayıcı"), localized("Denetleniyor…"), "globe"),
      button_(localized("Varsayılan Yap")) {
  set_name("default-browser");
  button_.set_visible(false);
  button_.signal_clicked().connect(sigc::mem_fun(*this, &DefaultBrowserRow::makeDefault));
  setAccessory(button_, false);
  check();
}

DefaultBrowserRow::~DefaultBrowserRow() = default;

void DefaultBrowserRow::check() {
  const AliveToken::Watch alive = alive_.watch();
  runInBackground<Status>([] { return default_browser::status(); },
                          [this, alive](Status status) {
                            if (!alive.expired()) show(status);
                          });
}

void DefaultBrowserRow::makeDefault() {
  button_.set_sensitive(false);
  const AliveToken::Watch alive = alive_.watch();
  runInBackground<bool>([] { return default_browser::makeDefault(); },
                        [this, alive](bool made) {
                          if (alive.expired()) return;
                          button_.set_sensitive(true);
                          if (made) {
                            check();
                          } else {
                            setSubtitle(localized("Zemblo varsayılan tarayıcı yapılamadı"));
                          }
                        });
}

void DefaultBrowserRow::show(Status status) {
  button_.set_visible(status == Status::notDefault);
  switch (status) {
    case Status::isDefault:
      setSubtitle(localized("Web adresleri ve HTML dosyaları Zemblo'da açılıyor"));
      break;
    case Status::notDefault:
      setSubtitle(localized("Diğer uygulamalardaki bağlantılar başka bir tarayıcıda açılıyor"));
      break;
    case Status::notInstalled:
      setSubtitle(localized(
          "Zemblo kurulu değil (masaüstü girdisi bulunamadı), bu yüzden varsayılan tarayıcı "
          "yapılamaz"));
      break;
  }
}

}  // namespace zemblo
