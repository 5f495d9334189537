#pragma once

#include <webkit/webkit.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace zemblo {

// Writes the page `view` shows, with its pictures and style sheets, into one MHTML file at
// `file`. The engine writes it away from the main thread; `done` runs later on the main loop
// with nothing when the file is written, else the reason it is not.
void savePageAsMHTML(WebKitWebView* view, const std::filesystem::path& file,
                     std::function<void(std::optional<std::string> failure)> done);

}  // namespace zemblo
