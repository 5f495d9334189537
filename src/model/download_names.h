#pragma once

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

// How a download is named in the Downloads folder. Names come from servers and addresses, so
// they are reduced to one plain file name before they touch the file system.
namespace zemblo {

// Leaves room below the file system's 255 bytes for " (n)" and a partial file's suffix.
inline constexpr size_t kMaxDownloadNameBytes = 200;

// The last component of any path in `suggested` ("/" and "\" both separate), as valid UTF-8,
// without control characters, direction overrides, surrounding white space or leading dots, cut
// to kMaxDownloadNameBytes keeping a short extension; `fallback` when nothing is left, or for
// "." and "..".
std::string plainDownloadName(std::string_view suggested, std::string_view fallback);

// The name a saved page is offered under: its title made plain as above (a "/" in a title names
// no folder), else `fallback`, with ".mhtml" after it.
std::string savedPageName(std::string_view title, std::string_view fallback);

// The name without its extension, and the extension (after the last dot, unless that dot starts
// or ends the name): the counter of a taken name goes between them.
struct SplitName {
  std::string base;
  std::string extension;
};
SplitName splitExtension(std::string_view name);

// The first path in `folder` that nothing occupies (a dangling link counts) and that is not in
// `reserved`: `name`, then "base (1).ext", "base (2).ext"… ("notes (1)" without an extension).
std::filesystem::path uniqueDestination(const std::filesystem::path& folder, std::string_view name,
                                        const std::set<std::filesystem::path>& reserved = {});

}  // namespace zemblo
