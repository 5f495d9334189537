#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/search_engine.h"
#include "platform/url.h"

// What a link, a file or a piece of text dragged onto the browser opens. What is dropped comes
// from any page or program, so it only opens what a tab may open from outside: a javascript: or
// data: address dragged out of a hostile page must not run in the page it lands on.
namespace zemblo {

// The first openable address among dropped URIs (the lines of a URI list, or files as file URLs),
// skipping the list's comment lines.
std::optional<Url> addressFromDroppedUris(const std::vector<std::string>& uris);
// The same for a URI list as text, one URI a line.
std::optional<Url> addressFromDroppedUriList(std::string_view list);

// Whether a URI list holds at least one URI and every one of them is openable.
bool everyDroppedUriOpens(std::string_view list);

// Dropped text, read as typed into the command bar: the address it stands for, else a search for
// it with `engine`. An address of a scheme a tab may not open from outside is searched for as
// text instead. None for blank text.
std::optional<Url> addressForDroppedText(std::string_view text, SearchEngine engine);

}  // namespace zemblo
