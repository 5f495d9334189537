#include "model/space.h"

#include "model/app_preferences.h"
#include "model/browser_tab.h"
#include "model/localization.h"

namespace zemblo {

const std::array<std::string_view, 40>& spaceSymbols() {
  static constexpr std::array<std::string_view, 40> symbols{
      "sparkles",
      "briefcase.fill",
      "flame.fill",
      "house.fill",
      "book.fill",
      "graduationcap.fill",
      "gamecontroller.fill",
      "music.note",
      "film.fill",
      "cart.fill",
      "heart.fill",
      "star.fill",
      "moon.fill",
      "sun.max.fill",
      "leaf.fill",
      "globe.europe.africa.fill",
      "airplane",
      "camera.fill",
      "paintpalette.fill",
      "hammer.fill",
      "chevron.left.forwardslash.chevron.right",
      "terminal.fill",
      "cup.and.saucer.fill",
      "dumbbell.fill",
      "bolt.fill",
      "cloud.fill",
      "person.2.fill",
      "bubble.left.and.bubble.right.fill",
      "newspaper.fill",
      "building.2.fill",
      "sportscourt.fill",
      "pawprint.fill",
      "atom",
      "cpu.fill",
      "lightbulb.fill",
      "flag.fill",
      "bookmark.fill",
      "tray.full.fill",
      "circle.hexagongrid.fill",
      "square.stack.3d.up.fill",
  };
  return symbols;
}

std::string_view spaceSymbolName(std::string_view symbol) {
  // In the order of the symbols; each is a key of the localisation table.
  static constexpr std::array<std::string_view, 40> names{
      "Parıltı",
      "Evrak çantası",
      "Alev",
      "Ev",
      "Kitap",
      "Mezuniyet kepi",
      "Oyun kumandası",
      "Nota",
      "Film şeridi",
      "Alışveriş arabası",
      "Kalp",
      "Yıldız",
      "Ay",
      "Güneş",
      "Yaprak",
      "Dünya",
      "Uçak",
      "Fotoğraf makinesi",
      "Boya paleti",
      "Çekiç",
      "Kod",
      "Uçbirim",
      "Fincan",
      "Dambıl",
      "Şimşek",
      "Bulut",
      "İki kişi",
      "Sohbet balonları",
      "Gazete",
      "Binalar",
      "Spor sahası",
      "Pati izi",
      "Atom",
      "İşlemci",
      "Ampul",
      "Bayrak",
      "Yer imi",
      "Dolu tepsi",
      "Petek",
      "Katmanlar",
  };
  const auto& symbols = spaceSymbols();
  for (size_t i = 0; i < symbols.size(); ++i) {
    if (symbols[i] == symbol) return names[i];
  }
  return symbol;
}

Space::Space(std::shared_ptr<SpaceIdentity> identity, TabList tabs,
             std::optional<Uuid> selectedTabID)
    : identity_(std::move(identity)),
      id(identity_->id),
      name(identity_->name),
      symbol(identity_->symbol),
      colorA(identity_->colorA),
      colorB(identity_->colorB),
      tabs(std::move(tabs)),
      selectedTabID(std::move(selectedTabID)) {}

Space::Space(std::string name, std::string symbol, std::string colorA, std::string colorB, Uuid id,
             TabList tabs, std::optional<Uuid> selectedTabID)
    : Space(std::make_shared<SpaceIdentity>(std::move(name), std::move(symbol), std::move(colorA),
                                            std::move(colorB), std::move(id)),
            std::move(tabs), std::move(selectedTabID)) {}

std::shared_ptr<BrowserTab> Space::selectedTab() const {
  const auto& selected = selectedTabID.get();
  if (!selected) return nullptr;
  for (const auto& tab : tabs.get()) {
    if (tab->id == *selected) return tab;
  }
  return nullptr;
}

LinearGradient Space::gradient() const {
  return zemblo::gradient(GradientDirection::diagonal, Color::fromHex(colorA.get()),
                          Color::fromHex(colorB.get()));
}

std::vector<std::shared_ptr<Space>> Space::defaultSpaces() {
  return {
      std::make_shared<Space>(localized("Kişisel"), "sparkles", "#7B61FF", "#FF6FB5"),
      std::make_shared<Space>(localized("İş"), "briefcase.fill", "#2F80FF", "#22C1C3"),
      std::make_shared<Space>("Zemblo", "flame.fill", "#FF8A3D", "#FF3D77"),
  };
}

}  // namespace zemblo
