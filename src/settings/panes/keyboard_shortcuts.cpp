#include "settings/panes/keyboard_shortcuts.h"

#include "model/localization.h"

namespace zemblo {

std::vector<KeyboardShortcut> keyboardShortcuts() {
  // Key names as the desktop prints them; "1–9" (an en dash) and "← →" each make one cap.
  return {
      {localized("Yeni sekme"), {"Ctrl", "T"}},
      {localized("Adres çubuğu"), {"Ctrl", "L"}},
      {localized("Sekmeyi kapat"), {"Ctrl", "W"}},
      {localized("Kapatılan sekmeyi geri aç"), {"Ctrl", "Shift", "T"}},
      {localized("Kenar çubuğunu göster/gizle"), {"Ctrl", "S"}},
      {localized("Sekmeler arasında geçiş"), {"Ctrl", "1\u20139"}},
      // GNOME keeps Ctrl+Alt+arrows for its workspaces; the page keys work everywhere.
      {localized("Alanlar arasında geçiş"),
       {"Ctrl", "Alt", "\u2190 \u2192"},
       {"Ctrl", "Shift", "Page Up/Down"}},
      {localized("Sayfada bul"), {"Ctrl", "F"}},
      {localized("Şifreler"), {"Ctrl", "Alt", "P"}},
      {localized("Sayfa karanlık modu"), {"Ctrl", "Alt", "D"}},
  };
}

}  // namespace zemblo
