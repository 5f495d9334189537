#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/search_engine.h"
#include "platform/url.h"

// The page menu's offer to search the web for the text the user selected on a page.
namespace zemblo {

// Longer selections are shortened in the menu item, which would otherwise run across the screen.
inline constexpr size_t kShownSelectionCharacters = 24;

// The selection as one line: valid UTF-8, every run of white space one space, trimmed.
std::string selectionQuery(std::string_view selection);

// The query as the menu item quotes it: cut after kShownSelectionCharacters user-perceived
// characters, with an ellipsis, never inside one.
std::string shortenedSelection(std::string_view selection);

// "Search Google for “…”" in the interface language; none for a blank selection.
std::optional<std::string> searchSelectionTitle(SearchEngine engine, std::string_view selection);

// The engine's results page for the whole selection, as a search typed into the command bar
// reaches it; none for a blank selection.
std::optional<Url> selectionSearchURL(SearchEngine engine, std::string_view selection);

}  // namespace zemblo
