#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/url.h"

// Addresses other programs hand the browser: the arguments of its command line (what the desktop
// runs for a link in mail, chat or a terminal) and the addresses a second start forwards to the
// running browser.
namespace zemblo {

// What a tab opens from outside: a web address with a host, or a file of this machine. Other
// schemes (javascript:, data:, another program's) are refused: whoever can start the browser must
// not make it run script in the page of a tab.
std::optional<Url> openableAddress(std::string_view text);

// A command-line argument: an openable address as written, else a path (a relative one against
// `workingFolder`) of something that exists, as a file URL. None for anything else.
std::optional<Url> addressFromArgument(std::string_view argument,
                                       const std::filesystem::path& workingFolder);

}  // namespace zemblo
