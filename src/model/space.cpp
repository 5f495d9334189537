#include "model/space.h"

#include "model/app_preferences.h"
#include "model/localization.h"
#include "web/browser_tab.h"

namespace zemblo {

Space::Space(std::string name, std::string symbol, std::string colorA, std::string colorB, Uuid id,
             TabList tabs, std::optional<Uuid> selectedTabID)
    : id(std::move(id)),
      name(std::move(name)),
      symbol(std::move(symbol)),
      colorA(std::move(colorA)),
      colorB(std::move(colorB)),
      tabs(std::move(tabs)),
      selectedTabID(std::move(selectedTabID)) {}

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
