#include "sidebar/sidebar_rules.h"

#include <algorithm>
#include <cmath>

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/certificate_texts.h"
#include "model/localization.h"
#include "model/page_dark_mode.h"
#include "platform/text.h"

namespace zemblo {
namespace {

constexpr std::string_view kPayloadPrefix = "zemblo-tab:";
constexpr double kMinimumRingFraction = 0.08;

}  // namespace

DensityMetrics densityMetrics(TabDensity density) {
  switch (density) {
    case TabDensity::compact:
      return {24, 28, 12};
    case TabDensity::spacious:
      return {36, 40, 13.5};
    case TabDensity::regular:
      break;
  }
  return {30, 34, 13};
}

double newTabRowPitch(TabDensity density) {
  const DensityMetrics metrics = densityMetrics(density);
  return std::max(metrics.minimumRowHeight, metrics.rowHeight + 1 + 3);
}

double tabRowPitch(TabDensity density) {
  const DensityMetrics metrics = densityMetrics(density);
  return std::max(metrics.minimumRowHeight, metrics.rowHeight + 1 + 1);
}

double topBarLeadingPadding(SidebarSide side) { return side == SidebarSide::leading ? 72 : 0; }

std::optional<SecurityMarkLook> securityMarkLook(BrowserTab::ConnectionSecurity security) {
  using Security = BrowserTab::ConnectionSecurity;
  switch (security) {
    case Security::secure:
      return SecurityMarkLook{"lock.fill", localized("Bağlantı güvenli"),
                              localized("Bağlantı güvenli"),
                              localized("Bu siteye gönderdiğin parola ya da kart numarası gibi "
                                        "bilgileri yolda başkaları göremez.")};
    case Security::notSecure:
      return SecurityMarkLook{"lock.slash", localized("Güvenli değil"),
                              localized("Bu siteyle bağlantın güvenli değil"),
                              localized("Burada gireceğin parola ya da kart numarası gibi "
                                        "bilgileri başkaları görebilir.")};
    case Security::allowedCertificate:
      return SecurityMarkLook{"exclamationmark.triangle.fill",
                              localized("Güvenli değil: sertifikaya güvenilmiyor"),
                              localized("Bu sitenin sertifikasına güvenilmiyor"),
                              localized("Sertifikayı tarayıcı kapanana kadar yine de kabul ettin. "
                                        "Kayıtlı parolalar burada doldurulmaz.")};
    case Security::unknown:
      break;
  }
  return std::nullopt;
}

AddressPillLook addressPillLook(const BrowserTab* tab) {
  AddressPillLook look;
  const std::optional<Url> url = tab ? tab->shownURL() : std::nullopt;
  look.hasAddress = url.has_value();
  if (!look.hasAddress) {
    look.symbol = "magnifyingglass";
  } else {
    look.securityMark = securityMarkLook(tab->connectionSecurity());
    if (const auto fault = look.securityMark ? tab->allowedCertificateFault() : std::nullopt) {
      look.securityMark->faults = certificateFaultLines(*fault);
      look.securityMark->certificate = certificateDetails(*fault);
    }
    look.symbol = look.securityMark ? look.securityMark->symbol : "globe";
  }
  const std::optional<std::string> host = tab ? tab->displayHost() : std::nullopt;
  look.text = host ? *host : localized("Ara veya adres gir");
  const std::optional<std::string> scheme = url ? url->scheme() : std::nullopt;
  look.showsShield = scheme && startsWith(*scheme, "http");
  look.offersCopyLink = look.hasAddress;
  look.showsReloadButton = tab && !tab->showsStartPage();
  return look;
}

double reloadRingFraction(double progress) {
  if (std::isnan(progress)) return kMinimumRingFraction;
  return std::clamp(progress, kMinimumRingFraction, 1.0);
}

std::string reloadButtonHelp(bool loading) {
  return localized(loading ? "Durdur" : "Yenile (Ctrl+R)");
}

TabRowIcon tabRowIcon(bool showsStartPage, bool isLoading, double progress) {
  if (showsStartPage) return TabRowIcon::startPageSymbol;
  if (isLoading && progress < 1.0) return TabRowIcon::spinner;
  return TabRowIcon::favicon;
}

TabRowLook tabRowLook(const BrowserTab& tab) {
  TabRowLook look;
  look.icon = tabRowIcon(tab.showsStartPage(), tab.isLoading.get(), tab.progress.get());
  look.title = tab.displayTitle();
  look.faviconURL = tab.faviconURL.get();
  // A source tab wears its page's icon.
  const auto& source = tab.sourceOf.get();
  const auto& url = source ? std::optional<Url>(source->page) : tab.url.get();
  look.faviconHost = url ? url->host() : std::nullopt;
  return look;
}

std::string tabDragPayload(const Uuid& id) { return std::string(kPayloadPrefix) + id.str(); }

std::optional<Uuid> tabIdFromDragPayload(std::string_view payload) {
  if (!startsWith(payload, kPayloadPrefix)) return std::nullopt;
  payload.remove_prefix(kPayloadPrefix.size());
  return Uuid::parse(payload);
}

size_t tabInsertionIndex(size_t count, double firstRowTop, double pitch, double y) {
  if (!(pitch > 0) || std::isnan(y)) return count;
  size_t above = 0;
  while (above < count && firstRowTop + (static_cast<double>(above) + 0.5) * pitch < y) ++above;
  return above;
}

std::optional<TabMove> tabDropMove(const Space::TabList& tabs, const Uuid& id, size_t insertion) {
  const auto found = std::ranges::find_if(tabs, [&](const auto& tab) { return tab->id == id; });
  if (found == tabs.end()) return std::nullopt;
  const auto from = static_cast<size_t>(found - tabs.begin());
  insertion = std::min(insertion, tabs.size());
  if (insertion == from || insertion == from + 1) return std::nullopt;
  return TabMove{{from}, insertion};
}

std::string muteTitle(const BrowserTab& tab) {
  return localized(tab.isMuted.get() ? "Sekmenin Sesini Aç" : "Sekmenin Sesini Kapat");
}

TabMenuLook tabMenuLook(const BrowserTab& tab, bool isFavorite,
                        const std::vector<std::shared_ptr<Space>>& spaces,
                        const std::optional<Uuid>& holdingSpace) {
  const bool hasURL = tab.url.get().has_value();
  TabMenuLook look;
  look.top = {
      {localized("Bağlantıyı Kopyala"), "copy-link", hasURL},
      {localized(isFavorite ? "Favorilerden Çıkar" : "Favorilere Ekle"), "favorite", hasURL},
      {localized("Yeniden Yükle"), "reload", true},
      {muteTitle(tab), "toggle-mute", true},
  };
  look.moveLabel = localized("Alana Taşı");
  for (const auto& space : spaces) {
    if (holdingSpace && space->id == *holdingSpace) continue;
    look.moveTargets.push_back({space->id, space->name.get()});
  }
  look.bottom = {
      {localized("Diğer Sekmeleri Kapat"), "close-others", true},
      {localized("Sekmeyi Kapat"), "close", true},
  };
  return look;
}

DarkModeButtonLook darkModeButtonLook(const AppPreferences& prefs, const BrowserTab* selected) {
  DarkModeButtonLook look;
  look.isOn = prefs.pageDarkMode != PageDarkMode::off;
  look.symbol = look.isOn ? "moon.fill" : "moon";
  // The shortcut is not part of the text's key.
  look.help = localized(look.isOn ? "Sayfa karanlık modu açık" : "Sayfa karanlık modu kapalı") +
              " (Ctrl+Alt+D)";
  look.pickerTitle = localized("Sayfa Karanlık Modu");
  for (const PageDarkMode mode : allCases<PageDarkMode>())
    look.modes.emplace_back(mode, label(mode));
  const auto host = selected ? selected->displayHost() : std::nullopt;
  if (look.isOn && host) {
    // One answer names the item and decides what it does, so a click does what it says.
    const bool excluded = isPageDarkModeDisabled(prefs, selected->url.get()->host());
    look.site = DarkModeSiteItem{withArgument(localized(excluded ? "%@ için karanlık modu aç"
                                                                 : "%@ için karanlık modu kapat"),
                                              *host),
                                 excluded};
  }
  return look;
}

ShieldLook shieldLook(const AdBlocker& blocker, const std::optional<Url>& url) {
  ShieldLook look;
  look.blocking = blocker.isBlocking(url);
  look.symbol = look.blocking ? "shield.lefthalf.filled" : "shield.slash";
  look.help = localized(look.blocking ? "Reklam engelleyici açık" : "Reklam engelleyici kapalı");
  const bool working =
      std::holds_alternative<AdBlocker::Ready>(blocker.status.get()) && blocker.isEnabled.get();
  if (working) {
    look.statusLine =
        localized(look.blocking ? "Bu sitede reklamlar engelleniyor" : "Bu sitede kapalı");
  } else {
    look.statusLine = blocker.statusText();
  }
  return look;
}

std::optional<std::string> ruleCountLine(long long ruleCount) {
  if (ruleCount <= 0) return std::nullopt;
  return withArgument(localized("EasyList ve EasyPrivacy · %@ kural"), groupedNumber(ruleCount));
}

}  // namespace zemblo
