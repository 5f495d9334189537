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

// A read-only file shipped with the browser, looked for beside the running program as it was
// installed (<prefix>/bin/../share/zemblo-browser, wherever the prefix is), then in the build
// tree it was built in (<build>/resources for <build>/src/zemblo-browser and the test programs),
// then in the folder the build was configured to install into. Nothing when none holds it.
std::optional<std::filesystem::path> bundledDataFile(std::string_view name);

// The folder of the running program's executable; none when the system doesn't tell.
std::optional<std::filesystem::path> runningProgramFolder();

// The user's Downloads folder: the XDG download folder of user-dirs.dirs (as it stands at the
// call), else "Downloads" in the home folder, never the home folder itself. Created when missing.
std::filesystem::path downloadsDirectory();

// Creates `file` only when nothing of that name exists (exclusive create), empty, with the usual
// permissions. False when the name is taken or the file cannot be made.
bool createNewFile(const std::filesystem::path& file);

enum class MoveResult { moved, destinationTaken, failed };
// Gives `from` the name `to` in one step unless something already has that name, which is then
// left untouched.
MoveResult moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes the bytes to a temporary file beside `file`, flushes it to the disk, renames it over
// `file` and flushes the folder, so that neither a reader nor a power cut ever sees half a file.
// The temporary is named "." + the file's name + ".zemblo-save-" + six characters, a form no one
// else makes. False when anything failed (logged); the previous file then stays. Blocks on the
// disk: the main thread hands it to a FileWriteQueue.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Removes what an interrupted atomic write of `file` left behind: regular files named as
// writeFileAtomically names its temporaries. Nothing else is touched, whatever its name.
void removeLeftoverTemporaries(const std::filesystem::path& file);

// Files larger than this are not the browser's own and are never read whole.
inline constexpr size_t kMaxReadBytes = size_t{64} << 20;

struct FileContents {
  enum class State {
    read,
    missing,
    // A directory, a FIFO, a device, a file too large or one that failed to read.
    unreadable,
  };
  State state = State::missing;
  std::string bytes;
};
// Reads a regular file of at most `maxBytes` without ever blocking on something that is no file
// (a FIFO, say); symbolic links are followed.
FileContents readRegularFile(const std::filesystem::path& file, size_t maxBytes = kMaxReadBytes);
// The whole regular file, or nothing when it is missing or unreadable.
std::optional<std::string> readFile(const std::filesystem::path& file);

// Moves a file the browser could not use out of the way as `file` + ".bad", or the first free one
// of ".bad.1" … ".bad.999", then of names stamped with the time (".bad-20260102-030405",
// ".bad-20260102-030405-1" …): each name is taken only when nothing has it, so nothing already
// there is ever replaced, however many copies were kept before. Returns the name it was kept
// under; nothing when it could not be moved (logged), and the file is then where it was.
inline constexpr int kMaxSetAsideNumber = 1000;
std::optional<std::filesystem::path> setAside(const std::filesystem::path& file);
// Keeps `bytes` (what was read from `file`) beside it under the first free name of setAside,
// written and flushed before the name appears, for a file the browser uses in a repaired form and
// will write over. Nothing when no copy could be made (logged).
std::optional<std::filesystem::path> copyAside(const std::filesystem::path& file,
                                               std::string_view bytes);

}  // namespace zemblo::paths
