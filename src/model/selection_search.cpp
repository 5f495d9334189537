#include "model/selection_search.h"

#include <glib.h>

#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {

std::string selectionQuery(std::string_view selection) {
  const std::string valid = validUtf8(selection);
  std::string query;
  bool pendingSpace = false;
  for (const char* at = valid.c_str(); *at; at = g_utf8_next_char(at)) {
    const gunichar c = g_utf8_get_char(at);
    // Line breaks of a selection across paragraphs count as white space too.
    if (g_unichar_isspace(c) || c == 0x85 || c == 0x2028 || c == 0x2029) {
      pendingSpace = !query.empty();
      continue;
    }
    if (pendingSpace) query += ' ';
    pendingSpace = false;
    query.append(at, g_utf8_next_char(at) - at);
  }
  return query;
}

std::string shortenedSelection(std::string_view selection) {
  const std::string query = selectionQuery(selection);
  size_t characters = 0;
  for (const char* at = query.c_str(); *at; at = g_utf8_next_char(at)) {
    if (extendsPreviousCharacter(g_utf8_get_char(at))) continue;
    if (characters++ == kShownSelectionCharacters) {
      std::string_view kept(query.c_str(), size_t(at - query.c_str()));
      // No space before the ellipsis.
      while (kept.ends_with(' ')) kept.remove_suffix(1);
      return std::string(kept) + "…";
    }
  }
  return query;
}

std::optional<std::string> searchSelectionTitle(SearchEngine engine, std::string_view selection) {
  const std::string shown = shortenedSelection(selection);
  if (shown.empty()) return std::nullopt;
  // The engine's name first: "%@" in the text of the selection is then left as it is.
  return withArgument(withArgument(localized("%@ ile “%@” ara"), engine.displayName()), shown);
}

std::optional<Url> selectionSearchURL(SearchEngine engine, std::string_view selection) {
  const std::string query = selectionQuery(selection);
  if (query.empty()) return std::nullopt;
  return engine.searchURL(query);
}

}  // namespace zemblo
