#pragma once

#include <filesystem>
#include <optional>

namespace zemblo::database_file {

enum class State {
  missing,
  // An SQLite database as far as its header and size tell, or an empty file, which SQLite takes
  // as a new database.
  usable,
  // Anything else: too short for its own header or its pages, another kind of file, a
  // directory, a link, something that is no file at all, or a file that can't be opened.
  unusable,
};

// Looks at the header and the size only, never blocking on what is no file (a FIFO, say).
State check(const std::filesystem::path& file);

// Moves an unusable database out of the way under the first free name (paths::setAside), with
// the journal files SQLite would otherwise take up into the new one. Returns the name the
// database was kept under; nothing when it could not be moved (logged).
std::optional<std::filesystem::path> setAside(const std::filesystem::path& file);

}  // namespace zemblo::database_file
