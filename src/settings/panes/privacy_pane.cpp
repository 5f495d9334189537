#include "settings/panes/privacy_pane.h"

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/password_store.h"
#include "model/window_model.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/kit/settings_row.h"
#include "settings/kit/settings_section.h"
#include "settings/kit/toggle_row.h"
#include "settings/panes/allowed_site_row.h"
#include "settings/panes/site_permission_row.h"
#include "settings/previews/label_font.h"
#include "widgets/accessibility.h"
#include "widgets/keyboard_regions.h"

namespace zemblo {
namespace {

void smallButton(Gtk::Button& button, const std::string& label) {
  button.set_label(label);
  button.add_css_class("settings-small");
}

}  // namespace

PrivacyPane::PrivacyPane(const SettingsContext& context)
    : PaneBody(SettingsPane::privacy), context_(context) {
  buildBlocker();
  buildPasswords();
  buildData();
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

PrivacyPane::~PrivacyPane() {
  observer_.reset();
  alive_.end();
}

void PrivacyPane::buildBlocker() {
  AdBlocker& blocker = context_.pageServices().adBlocker();
  blockerSection_ =
      &addSection(localized("Reklam engelleyici"),
                  localized("EasyList ve EasyPrivacy kural listelerini kullanır (easylist.to, CC "
                            "BY-SA 3.0)."));
  blocker_ = &blockerSection_->add<ToggleRow>(
      localized("Reklamları ve izleyicileri engelle"), blocker.statusText(),
      "shield.lefthalf.filled",
      Binding<bool>{[&blocker] { return blocker.isEnabled.get(); },
                    [this](const bool& enabled) { setAdBlockEnabled(enabled); }});
  rules_ = &blockerSection_->add<SettingsRow>(localized("Kural sayısı"), std::nullopt,
                                              "list.bullet.rectangle");
  ruleCount_.add_css_class("settings-secondary");
  setLabelFont(ruleCount_, {.pixels = 12, .weight = Pango::Weight::MEDIUM, .tabularDigits = true});
  rules_->setAccessory(ruleCount_, false);
}

void PrivacyPane::buildPasswords() {
  auto& section = addSection(localized("Şifreler"));
  passwords_ = &section.add<SettingsRow>(localized("Kayıtlı şifreler"), "", "key");
  smallButton(manage_, localized("Yönet…"));
  manage_.signal_clicked().connect([this] { openPasswordsWindow(); });
  passwords_->setAccessory(manage_, false);
  auto& import =
      section.add<SettingsRow>(localized("Şifreleri içe aktar"),
                               localized("Chrome, Safari, Firefox, Edge ve şifre yöneticilerinden"),
                               "square.and.arrow.down");
  smallButton(import_, localized("İçe Aktar…"));
  import_.signal_clicked().connect([this] { importPasswords(); });
  import.setAccessory(import_, false);
}

void PrivacyPane::buildData() {
  auto& section = addSection(localized("Veriler"));
  dataSection_ = &section;
  history_ = &section.add<SettingsRow>(localized("Geçmiş"), "", "clock");
  smallButton(clearHistory_, localized("Temizle…"));
  clearHistory_.signal_clicked().connect([this] { askToClearHistory(); });
  history_->setAccessory(clearHistory_, false);
  // The section has two buttons of that label: each name says what it clears.
  setAccessibleName(clearHistory_, localized("Geçmişi temizle…"));
  siteData_ =
      &section.add<SettingsRow>(localized("Çerezler ve site verileri"), "", "externaldrive");
  smallButton(clearSiteData_, localized("Temizle…"));
  clearSiteData_.signal_clicked().connect([this] { askToClearSiteData(); });
  siteData_->setAccessory(clearSiteData_, false);
}

void PrivacyPane::sync() {
  AdBlocker& blocker = context_.pageServices().adBlocker();
  blocker_->setSubtitle(blocker.statusText());
  const long long rules = blocker.ruleCount.get();
  rules_->set_visible(rules > 0);
  ruleCount_.set_text(groupedNumber(rules));
  showAllowedSites(blocker.allowedHosts.get());
  showSitePermissions(context_.sitePermissions().decisions.get());

  passwords_->setSubtitle(
      localized("%@ şifre anahtarlığında",
                static_cast<long long>(context_.passwords().credentials.get().size())));
  const size_t entries = context_.history().entries.get().size();
  history_->setSubtitle(localized("%@ kayıt", static_cast<long long>(entries)));
  clearHistory_.set_sensitive(entries > 0);

  const bool cleared = dataCleared_.get();
  siteData_->setSubtitle(clearFailed_.get() && !cleared
                             ? localized("Veriler silinemedi. Tekrar dene.")
                             : localized("Tüm sitelerden çıkış yapılır, önbellek silinir"));
  clearSiteData_.set_label(cleared ? localized("Temizlendi") : localized("Temizle…"));
  setAccessibleName(clearSiteData_, cleared ? localized("Çerezler ve site verileri temizlendi")
                                            : localized("Çerezleri ve site verilerini temizle…"));
  if (cleared) passFocusOn(clearSiteData_, *this);
  clearSiteData_.set_sensitive(!cleared);
}

void PrivacyPane::showAllowedSites(const std::set<std::string>& hosts) {
  // A set keeps its hosts in the plain order of their bytes, which is the order shown.
  const std::vector<std::string> sorted(hosts.begin(), hosts.end());
  if (sorted == shownHosts_) return;
  shownHosts_ = sorted;
  if (allowedSection_) remove(*allowedSection_);
  allowedSection_ = nullptr;
  if (sorted.empty()) return;
  allowedSection_ =
      Gtk::make_managed<SettingsSection>(localized("Reklamlara izin verilen siteler"));
  for (const std::string& host : sorted) {
    allowedSection_->add<AllowedSiteRow>(context_.favicons(), host,
                                         [this, host] { removeAllowedSite(host); });
  }
  insert_child_after(*allowedSection_, *blockerSection_);
}

void PrivacyPane::showSitePermissions(const SitePermissions::Decisions& decisions) {
  if (decisions == shownPermissions_ && (permissionsSection_ || decisions.empty())) return;
  shownPermissions_ = decisions;
  // The focus on a row's Remove stays in the list, on the row that takes that row's place.
  const auto focusAt =
      permissionsSection_ ? focusedControlIndex(*permissionsSection_) : std::nullopt;
  if (focusAt) passFocusOn(*permissionsSection_, *this);
  if (permissionsSection_) remove(*permissionsSection_);
  permissionsSection_ = nullptr;
  if (decisions.empty()) return;
  permissionsSection_ = Gtk::make_managed<SettingsSection>(
      localized("Site izinleri"),
      localized("Kaldırılan bir izni site bir dahaki isteğinde yeniden sorar."));
  for (const auto& site : decisions) {
    for (const auto& answer : site.second) {
      const std::string origin = site.first;
      const PermissionKind kind = answer.first;
      permissionsSection_->add<SitePermissionRow>(
          context_.favicons(), origin, kind, answer.second,
          [this, origin, kind] { context_.sitePermissions().forget(origin, kind); });
    }
  }
  insert_child_after(*permissionsSection_, *dataSection_);
  if (focusAt) focusControlAt(*permissionsSection_, *focusAt);
}

void PrivacyPane::setAdBlockEnabled(bool enabled) {
  context_.pageServices().adBlocker().setEnabled(enabled);
  // Only the page on screen in the browser window used last reloads; the others show the change
  // when they next load.
  WindowModel* tabs = context_.lastUsedTabs();
  if (auto tab = tabs ? tabs->currentSpace()->selectedTab() : nullptr) tab->reload();
}

void PrivacyPane::removeAllowedSite(const std::string& host) {
  context_.pageServices().adBlocker().setAllowed(false, host);
}

void PrivacyPane::openPasswordsWindow() { activate_action("app.passwords"); }

void PrivacyPane::importPasswords() { activate_action("app.import-passwords"); }

void PrivacyPane::askToClearHistory() {
  const ConfirmationDialog::Question question{
      localized("Geçmiş temizlensin mi?"),
      localized("Ziyaret ettiğin sitelerin kaydı silinir. Açık sekmeler etkilenmez."),
      localized("Geçmişi Temizle")};
  confirmation_ = std::make_unique<ConfirmationDialog>(*this, question, [this](bool confirmed) {
    confirmation_.reset();
    if (confirmed) clearHistory();
  });
}

void PrivacyPane::askToClearSiteData() {
  const ConfirmationDialog::Question question{
      localized("Tüm site verileri silinsin mi?"),
      localized("Çerezler, önbellek ve yerel depolama silinir; oturum açtığın tüm sitelerden "
                "çıkış yapılır."),
      localized("Verileri Sil")};
  confirmation_ = std::make_unique<ConfirmationDialog>(*this, question, [this](bool confirmed) {
    confirmation_.reset();
    if (confirmed) clearSiteData();
  });
}

void PrivacyPane::clearHistory() { context_.history().clear(); }

void PrivacyPane::clearSiteData() {
  context_.pageServices().clearWebsiteData([this, alive = alive_.watch()](bool cleared) {
    if (!alive.expired()) siteDataCleared(cleared);
  });
}

void PrivacyPane::siteDataCleared(bool cleared) {
  if (cleared) {
    dataCleared_.set(true);
  } else {
    // Never "Cleared" for data that is still there: the button stays for another try.
    clearFailed_.set(true);
  }
}

}  // namespace zemblo
