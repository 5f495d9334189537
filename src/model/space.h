#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/color.h"
#include "model/space_identity.h"
#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

class BrowserTab;

// The icons a new space draws from, in the order the space editor offers them.
const std::array<std::string_view, 40>& spaceSymbols();

// What one of those symbols shows, in Turkish (a key of the localisation table), as a person
// would name it; any other symbol name as it is.
std::string_view spaceSymbolName(std::string_view symbol);

// One named, coloured group of tabs as one window holds it. The space holds its tabs strongly;
// `selectedTabID` may name a tab that is no longer in the list. Its id, name, symbol and colours
// are those of its identity, which the same space in every other window shares.
class Space {
  std::shared_ptr<SpaceIdentity> identity_;

 public:
  using TabList = std::vector<std::shared_ptr<BrowserTab>>;

  explicit Space(std::shared_ptr<SpaceIdentity> identity, TabList tabs = {},
                 std::optional<Uuid> selectedTabID = std::nullopt);
  // A space with an identity of its own.
  Space(std::string name, std::string symbol, std::string colorA, std::string colorB,
        Uuid id = Uuid::random(), TabList tabs = {},
        std::optional<Uuid> selectedTabID = std::nullopt);
  Space(const Space&) = delete;
  Space& operator=(const Space&) = delete;

  const std::shared_ptr<SpaceIdentity>& identity() const { return identity_; }
  const Uuid id;
  Observable<std::string>& name;
  Observable<std::string>& symbol;
  Observable<std::string>& colorA;
  Observable<std::string>& colorB;
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
