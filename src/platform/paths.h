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

// The user's Downloads folder: the XDG download folder of user-dirs.dirs (read anew on every call),
// else "Downloads" in the home folder, never the home folder itself. Created when missing.
std::filesystem::path downloadsDirectory();

// Creates `file` only when nothing of that name exists (exclusive create), empty, with the usual
// permissions. False when the name is taken or the file cannot be made.
bool createNewFile(const std::filesystem::path& file);

enum class MoveResult { moved, destinationTaken, failed };
// Gives `from` the name `to` in one step unless something already has that name, which is then
// left untouched.
MoveResult moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes the bytes to a temporary file beside `file` and renames it over `file`, so a reader
// never sees half a file. False when anything failed; the previous file then stays.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// The whole file, or nothing when it is missing or unreadable.
std::optional<std::string> readFile(const std::filesystem::path& file);

}  // namespace zemblo::paths
