#include "model/wallpaper.h"

#include <glib.h>

#include <system_error>

#include "model/localization.h"
#include "platform/main_loop.h"
#include "platform/paths.h"
#include "platform/uuid.h"

namespace zemblo {
namespace {

bool isUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool isAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isExtension(std::string_view text) {
  if (text.empty() || text.size() > Wallpaper::kMaximumExtensionLength) return false;
  for (char c : text) {
    if (!isAsciiLetterOrDigit(c)) return false;
  }
  return true;
}

}  // namespace

std::filesystem::path Wallpaper::defaultFolder() { return paths::appSupportDirectory(); }

bool Wallpaper::isStoredFileName(std::string_view name) {
  if (!name.starts_with(kPrefix)) return false;
  name.remove_prefix(kPrefix.size());
  if (name.size() < kIdLength + 1) return false;
  for (size_t i = 0; i < kIdLength; ++i) {
    if (!isUpperHexDigit(name[i])) return false;
  }
  if (name[kIdLength] != '.') return false;
  return isExtension(name.substr(kIdLength + 1));
}

std::string Wallpaper::newFileName(const std::filesystem::path& picked) {
  std::string extension = picked.extension().string();
  if (!extension.empty()) extension.erase(0, 1);  // the dot
  if (!isExtension(extension)) extension = kDefaultExtension;
  return std::string(kPrefix) + Uuid::random().str().substr(0, kIdLength) + "." + extension;
}

Wallpaper::Import Wallpaper::importImage(const std::filesystem::path& picked,
                                         const std::optional<std::string>& current,
                                         const PictureCheck& isPicture,
                                         const std::filesystem::path& folder) {
  const std::string name = newFileName(picked);
  const std::filesystem::path target = folder / name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(picked, error)) return {};
  std::filesystem::copy_file(picked, target, std::filesystem::copy_options::none, error);
  if (error) {
    // A half-written copy is ours to remove; a file that was already there never is.
    if (error != std::errc::file_exists) std::filesystem::remove(target, error);
    g_warning("The picture %s could not be copied: %s", picked.c_str(), error.message().c_str());
    return {};
  }
  // The copy is what the start page will show, so it is the copy that must give a picture.
  if (!isPicture(target)) {
    g_warning("%s is no picture; the start page keeps its own", picked.c_str());
    std::filesystem::remove(target, error);
    return {std::nullopt,
            localized("Seçilen dosya bir görsel olarak açılamadı; mevcut görsel korunuyor.")};
  }
  if (current && *current != name) deleteFile(*current, folder);
  return {name, std::nullopt};
}

void Wallpaper::importImageInBackground(std::filesystem::path picked,
                                        std::optional<std::string> current, PictureCheck isPicture,
                                        std::function<void(Import)> done,
                                        std::filesystem::path folder) {
  runInBackground<Import>(
      [picked = std::move(picked), current = std::move(current), isPicture = std::move(isPicture),
       folder = std::move(folder)] { return importImage(picked, current, isPicture, folder); },
      [done = std::move(done)](Import result) {
        if (done) done(std::move(result));
      });
}

void Wallpaper::deleteFile(std::string_view name, const std::filesystem::path& folder) {
  const auto file = fileFor(std::string(name), folder);
  if (!file) return;
  std::error_code ignored;
  std::filesystem::remove(*file, ignored);
}

std::optional<std::filesystem::path> Wallpaper::fileFor(const std::optional<std::string>& name,
                                                        const std::filesystem::path& folder) {
  if (!name || !isStoredFileName(*name)) return std::nullopt;
  return folder / *name;
}

}  // namespace zemblo
