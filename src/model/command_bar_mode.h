#pragma once

namespace zemblo {

// Where the command bar opens what the user picks: a new tab or the current one.
enum class CommandBarMode { newTab, currentTab };

}  // namespace zemblo
