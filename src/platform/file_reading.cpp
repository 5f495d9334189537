#include "platform/file_reading.h"

#include "platform/main_loop.h"
#include "platform/paths.h"

namespace zemblo {

void readRegularFileInBackground(std::filesystem::path path, size_t limit,
                                 std::function<void(std::optional<std::string>)> done) {
  runInBackground<std::optional<std::string>>(
      [path = std::move(path), limit]() -> std::optional<std::string> {
        auto contents = paths::readRegularFile(path, limit);
        if (contents.state != paths::FileContents::State::read) return std::nullopt;
        return std::move(contents.bytes);
      },
      std::move(done));
}

}  // namespace zemblo
