#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace zemblo {

// The whole content of a regular file of at most `limit` bytes; none for anything else: a missing
// or unreadable file, a folder, a device, a pipe (opening one never waits for a writer) or a file
// that is, or grows, larger than the limit. Blocks: for background threads.
std::optional<std::string> readRegularFile(const std::filesystem::path& path, size_t limit);

// The same on a thread of its own; `done` runs on the main loop.
void readRegularFileInBackground(std::filesystem::path path, size_t limit,
                                 std::function<void(std::optional<std::string>)> done);

}  // namespace zemblo
