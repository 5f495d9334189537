#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zemblo {

// The user's own start-page picture. A chosen image is copied byte for byte into the
// application's folder under a generated name, "wallpaper-" + eight upper-case hex digits + "." +
// the picked file's extension, and only that bare name is kept in the preferences. The stored name
// is read from a settings file that anyone can edit, so nothing here touches a file whose name is
// not of exactly that form: no paths, no "..", no other files of the folder.
class Wallpaper {
 public:
  static constexpr std::string_view kPrefix = "wallpaper-";
  static constexpr size_t kIdLength = 8;
  static constexpr size_t kMaximumExtensionLength = 10;
  static constexpr std::string_view kDefaultExtension = "jpg";

  // Whether `name` is one this class creates.
  static bool isStoredFileName(std::string_view name);

  // A fresh name for a picture picked at `picked`: its extension is kept as it is (an extension
  // other than letters and digits, or none, becomes "jpg").
  static std::string newFileName(const std::filesystem::path& picked);

  // Copies the picture into `folder` under a new name and deletes `current` once the copy exists.
  // Nothing when the copy failed; the current picture then stays.
  static std::optional<std::string> importImage(
      const std::filesystem::path& picked, const std::optional<std::string>& current,
      const std::filesystem::path& folder = defaultFolder());
  // The same on a worker thread, for pictures large enough to stall the window; `done` runs on
  // the main loop.
  static void importImageInBackground(std::filesystem::path picked,
                                      std::optional<std::string> current,
                                      std::function<void(std::optional<std::string>)> done,
                                      std::filesystem::path folder = defaultFolder());

  // Removes the stored picture; a name of another form, or a missing file, is ignored.
  static void deleteFile(std::string_view name,
                         const std::filesystem::path& folder = defaultFolder());

  // Where the picture of a stored name lies; nothing without a name or for a name of another
  // form. Whether the file exists is not checked.
  static std::optional<std::filesystem::path> fileFor(
      const std::optional<std::string>& name,
      const std::filesystem::path& folder = defaultFolder());

  static std::filesystem::path defaultFolder();
};

}  // namespace zemblo
