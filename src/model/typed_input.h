#pragma once

#include <optional>
#include <string_view>

#include "model/search_engine.h"
#include "platform/url.h"

// What the user types into the command bar or the start page: an address to load, or a search.
namespace zemblo {

// The address the text stands for, or none when the text is a search. Text with a space, a
// scheme other than http, https, file, about or data, a single name or a last name part that is
// not made of letters is a search; "localhost" and IPv4 addresses load over http, other dotted
// names over https. The text is kept as typed after the added scheme.
std::optional<Url> urlFromUserInput(std::string_view text);

// The address for the text, else the engine's results page for it; none for blank text.
std::optional<Url> urlForInputOrSearch(std::string_view text, SearchEngine engine);

// Four dot-separated decimal numbers from 0 to 255 (empty parts between dots are ignored).
bool isIPv4Address(std::string_view host);

}  // namespace zemblo
