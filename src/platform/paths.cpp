#include "platform/paths.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>

namespace zemblo::paths {
namespace {

std::filesystem::path home() {
  if (const char* value = std::getenv("HOME"); value && *value) return value;
  return g_get_home_dir();
}

// Like g_get_user_*_dir, but read anew on every call: GLib caches the first answer.
std::filesystem::path xdgFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value && *value && value[0] == '/') return value;
  return home() / fallbackBelowHome;
}

std::filesystem::path ensured(std::filesystem::path folder) {
  g_mkdir_with_parents(folder.c_str(), 0700);
  return folder;
}

}  // namespace

std::filesystem::path appSupportDirectory() {
  return ensured(xdgFolder("XDG_DATA_HOME", ".local/share") / kAppFolderName);
}

std::filesystem::path configDirectory() {
  return ensured(xdgFolder("XDG_CONFIG_HOME", ".config") / kAppFolderName);
}

std::filesystem::path cacheDirectory() {
  return ensured(xdgFolder("XDG_CACHE_HOME", ".cache") / kAppFolderName);
}

bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  GError* error = nullptr;
  const bool ok =
      g_file_set_contents_full(file.c_str(), bytes.data(), static_cast<gssize>(bytes.size()),
                               G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error);
  if (error) g_error_free(error);
  return ok;
}

std::optional<std::string> readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return std::nullopt;
  return bytes;
}

}  // namespace zemblo::paths
