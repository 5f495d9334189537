#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/color.h"
#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

class BrowserTab;

// The icons a new space draws from, in the order the space editor offers them.
const std::array<std::string_view, 40>& spaceSymbols();

// What one of those symbols shows, in Turkish (a key of the localisation table), as a person
// would name it; any other symbol name as it is.
std::string_view spaceSymbolName(std::string_view symbol);

// One named, coloured group of tabs. The space holds its tabs strongly; `selectedTabID` may name
// a tab that is no longer in the list.
class Space {
 public:
  using TabList = std::vector<std::shared_ptr<BrowserTab>>;

  Space(std::string name, std::string symbol, std::string colorA, std::string colorB,
        Uuid id = Uuid::random(), TabList tabs = {},
        std::optional<Uuid> selectedTabID = std::nullopt);

  const Uuid id;
  Observable<std::string> name;
  Observable<std::string> symbol;
  Observable<std::string> colorA;
  Observable<std::string> colorB;
  Observable<TabList, SameObjectsInOrder> tabs;
  Observable<std::optional<Uuid>> selectedTabID;

  // The first tab whose id is `selectedTabID`, if any.
  std::shared_ptr<BrowserTab> selectedTab() const;
  // From colorA at the top-leading corner to colorB at the bottom-trailing one.
  LinearGradient gradient() const;

  // The three spaces of a fresh installation, named in the current interface language.
  static std::vector<std::shared_ptr<Space>> defaultSpaces();
};

}  // namespace zemblo
