#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/app_preferences.h"
#include "model/browser_tab.h"
#include "model/preference_enums.h"
#include "model/space.h"
#include "platform/url.h"
#include "platform/uuid.h"

// What the sidebar shows and does, worked out from model values alone, so that the rules can be
// checked without a display. The views only apply the results.
namespace zemblo {

class AdBlocker;
class BrowserTab;

// Row sizes of the tab list for a density.
struct DensityMetrics {
  double minimumRowHeight = 30;  // the least room a row of the list takes
  double rowHeight = 34;         // the height of the new-tab row and of a tab row
  double labelSize = 13;         // their text size
};
DensityMetrics densityMetrics(TabDensity density);

// Vertical room of the tab list's rows, their insets included.
double newTabRowPitch(TabDensity density);
double tabRowPitch(TabDensity density);

// Room left at the leading end of the top bar for the window buttons.
double topBarLeadingPadding(SidebarSide side);

// The mark at the front of the address pill that tells the page's connection, and what its
// popover says; none while the connection tells nothing (no page, a file, a load under way).
struct SecurityMarkLook {
  std::string symbol;
  std::string name;  // the mark's accessible name
  std::string heading;
  std::string detail;
  // For a certificate the user let through: what is wrong with it, and its details.
  std::string faults;
  std::vector<std::pair<std::string, std::string>> certificate;
  friend bool operator==(const SecurityMarkLook&, const SecurityMarkLook&) = default;
};
std::optional<SecurityMarkLook> securityMarkLook(BrowserTab::ConnectionSecurity security);

// The address pill for the current tab (none when the space has no selected tab).
struct AddressPillLook {
  std::string symbol;  // "magnifyingglass", "globe" or the security mark's
  std::optional<SecurityMarkLook> securityMark;
  std::string text;             // the host, or the search prompt
  bool hasAddress = false;      // the text is drawn in the primary style
  bool showsShield = false;     // the content-blocker shield
  bool offersCopyLink = false;  // the copy-link button, shown while the pointer is over the pill
  bool showsReloadButton = false;
};
AddressPillLook addressPillLook(const BrowserTab* tab);

// The content-blocker shield of a page and its popover's header.
struct ShieldLook {
  bool blocking = false;   // ads and trackers are blocked on the page now
  std::string symbol;      // "shield.lefthalf.filled" or "shield.slash"
  std::string help;        // the shield's tooltip
  std::string statusLine;  // under the popover's title
};
ShieldLook shieldLook(const AdBlocker& blocker, const std::optional<Url>& url);
// The popover's last line; none before the rules were counted.
std::optional<std::string> ruleCountLine(long long ruleCount);

// The page dark-mode button: its face and its context menu.
struct DarkModeSiteItem {
  std::string label;
  bool turnsOn = false;  // what the item does for the site: dark mode back on, or off
};
struct DarkModeButtonLook {
  bool isOn = false;   // the mode is not off, whatever the application's appearance
  std::string symbol;  // "moon.fill" or "moon"
  std::string help;    // the tooltip, with the shortcut
  std::string pickerTitle;
  std::vector<std::pair<PageDarkMode, std::string>> modes;  // every mode, in order, labelled
  std::optional<DarkModeSiteItem> site;  // while on, for a selected tab showing a site
};
DarkModeButtonLook darkModeButtonLook(const AppPreferences& prefs, const BrowserTab* selected);

// The part of the reload ring that is drawn for a load's progress: never less than 8 %.
double reloadRingFraction(double progress);
std::string reloadButtonHelp(bool loading);

// The icon of a tab row.
enum class TabRowIcon { startPageSymbol, spinner, favicon };
TabRowIcon tabRowIcon(bool showsStartPage, bool isLoading, double progress);

struct TabRowLook {
  TabRowIcon icon = TabRowIcon::favicon;
  std::string title;
  std::optional<Url> faviconURL;
  std::optional<std::string> faviconHost;  // the URL's host as it stands
};
TabRowLook tabRowLook(const BrowserTab& tab);

// The payload a dragged tab row carries; only payloads of this form are accepted by the list.
std::string tabDragPayload(const Uuid& id);
std::optional<Uuid> tabIdFromDragPayload(std::string_view payload);

// Where a drop at height `y` inserts: the number of rows whose middle lies above `y`, given the
// top of the first row and the rows' pitch. From 0 to `count`.
size_t tabInsertionIndex(size_t count, double firstRowTop, double pitch, double y);

// A move of the list, in the terms of the window model's reordering: the tabs at `fromOffsets` land
// in front of the tab that stood at `toOffset` (at the end when it equals the count).
struct TabMove {
  std::set<size_t> fromOffsets;
  size_t toOffset = 0;
  friend bool operator==(const TabMove&, const TabMove&) = default;
};
// The move that drops the tab `id` at `insertion`, with the tab's place looked up in `tabs` as
// they are now. None for a tab the list no longer holds, or when the tab would stay where it is.
std::optional<TabMove> tabDropMove(const Space::TabList& tabs, const Uuid& id, size_t insertion);

// The context menu of a tab row.
struct TabMenuItem {
  std::string label;
  std::string action;  // the name of the row's action, without its group
  bool enabled = true;
};
struct TabMenuTarget {
  Uuid spaceID;
  std::string name;  // shown as typed
};
struct TabMenuLook {
  std::vector<TabMenuItem> top;  // copy link, favourite, reload, mute or unmute
  std::string moveLabel;         // the submenu of other spaces
  std::vector<TabMenuTarget> moveTargets;
  std::vector<TabMenuItem> bottom;  // close other tabs, close tab
};
// What silencing the tab, or letting it be heard again, is called: the tab's menu item and the
// speaker of its row.
std::string muteTitle(const BrowserTab& tab);
// `holdingSpace` is the space the tab is in; every other space is a target, in the model's order.
TabMenuLook tabMenuLook(const BrowserTab& tab, bool isFavorite,
                        const std::vector<std::shared_ptr<Space>>& spaces,
                        const std::optional<Uuid>& holdingSpace);

}  // namespace zemblo
