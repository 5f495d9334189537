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
  // Whether a file gives a picture; the model cannot decode one, so the views bring the check.
  using PictureCheck = std::function<bool(const std::filesystem::path&)>;
  // What became of a picked picture.
  struct Import {
    std::optional<std::string> name;     // the copy's name: it is the picture now
    std::optional<std::string> problem;  // why the current picture stays, for the user
  };

  static constexpr std::string_view kPrefix = "wallpaper-";
  static constexpr size_t kIdLength = 8;
  static constexpr size_t kMaximumExtensionLength = 10;
  static constexpr std::string_view kDefaultExtension = "jpg";

  // Whether `name` is one this class creates.
  static bool isStoredFileName(std::string_view name);

  // A fresh name for a picture picked at `picked`: its extension is kept as it is (an extension
  // other than letters and digits, or none, becomes "jpg").
  static std::string newFileName(const std::filesystem::path& picked);

  // Copies the picture into `folder` under a new name and, once the copy exists and `isPicture`
  // finds a picture in it, deletes `current`. A copy that fails, or gives no picture, leaves the
  // current picture as it is (and the copy goes).
  static Import importImage(const std::filesystem::path& picked,
                            const std::optional<std::string>& current,
                            const PictureCheck& isPicture,
                            const std::filesystem::path& folder = defaultFolder());
  // The same on a worker thread, for pictures large enough to stall the window; `isPicture` runs
  // there too, and `done` on the main loop.
  static void importImageInBackground(std::filesystem::path picked,
                                      std::optional<std::string> current, PictureCheck isPicture,
                                      std::function<void(Import)> done,
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
