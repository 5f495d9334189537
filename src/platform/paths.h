#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Where the browser keeps its files. Each call looks the folder up anew (so a changed XDG
// variable is honoured) and creates it when missing, ignoring any failure.
namespace zemblo::paths {

inline constexpr const char* kAppFolderName = "Zemblo Browser";

// $XDG_DATA_HOME/Zemblo Browser (default ~/.local/share/Zemblo Browser): session, history,
// wallpapers, web data.
std::filesystem::path appSupportDirectory();
// $XDG_CONFIG_HOME/Zemblo Browser: the user-defaults file.
std::filesystem::path configDirectory();
// $XDG_CACHE_HOME/Zemblo Browser: the web engine's cache.
std::filesystem::path cacheDirectory();

// Writes the bytes to a temporary file beside `file` and renames it over `file`, so a reader
// never sees half a file. False when anything failed; the previous file then stays.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// The whole file, or nothing when it is missing or unreadable.
std::optional<std::string> readFile(const std::filesystem::path& file);

}  // namespace zemblo::paths
