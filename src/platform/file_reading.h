#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace zemblo {

// paths::readRegularFile on a thread of its own: the whole content of a regular file of at most
// `limit` bytes, or none for anything else. `done` runs on the main loop.
void readRegularFileInBackground(std::filesystem::path path, size_t limit,
                                 std::function<void(std::optional<std::string>)> done);

}  // namespace zemblo
