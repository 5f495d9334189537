#include "settings/settings_pane.h"

#include "model/localization.h"

namespace zemblo {
namespace {

struct PaneLook {
  std::string_view subtitle;
  std::string_view symbol;
  std::string_view tint;
};

// In the order of the cases.
constexpr std::array<PaneLook, 8> kLooks{{
    {"Dil, arama, açılış ve kısayollar", "gearshape.fill", "#8E8E93"},
    {"Tema, yazı tipi ve hareket", "paintbrush.fill", "#AF52DE"},
    {"Tarayıcının rengi, yoğunluğu ve dokusu", "paintpalette.fill", "#5E5CE6"},
    {"Konum, renk ve sekmeler", "sidebar.left", "#0A84FF"},
    {"İçerik kartı, yükleme çubuğu ve komut çubuğu", "macwindow", "#30B0C7"},
    {"Saat, selamlama ve arka plan", "sparkles", "#FF9F0A"},
    {"Her alanın adı, rengi ve simgesi", "square.stack.3d.up.fill", "#FF375F"},
    {"Reklam engelleyici, şifreler ve site verileri", "hand.raised.fill", "#34C759"},
}};

const PaneLook& lookOf(SettingsPane pane) { return kLooks.at(static_cast<size_t>(pane)); }

}  // namespace

std::string paneTitle(SettingsPane pane) { return label(pane); }

std::string paneSubtitle(SettingsPane pane) { return localized(lookOf(pane).subtitle); }

std::string_view paneSymbol(SettingsPane pane) { return lookOf(pane).symbol; }

Color paneTint(SettingsPane pane) { return Color::fromHex(lookOf(pane).tint); }

}  // namespace zemblo
