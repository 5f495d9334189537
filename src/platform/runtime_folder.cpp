#include "platform/runtime_folder.h"

#include <glib.h>

#include <system_error>

namespace zemblo {

RuntimeFolder::RuntimeFolder() {
  const char* named = g_getenv("XDG_RUNTIME_DIR");
  if (named && *named) return;
  GError* error = nullptr;
  gchar* folder = g_dir_make_tmp("zemblo-browser-runtime-XXXXXX", &error);
  if (!folder) {
    g_warning("No runtime folder, and none could be made: %s", error->message);
    g_error_free(error);
    return;
  }
  made_ = folder;
  g_setenv("XDG_RUNTIME_DIR", folder, TRUE);
  g_free(folder);
}

RuntimeFolder::~RuntimeFolder() {
  if (!made_) return;
  g_unsetenv("XDG_RUNTIME_DIR");
  std::error_code error;
  std::filesystem::remove_all(*made_, error);
  if (error) g_warning("Could not remove %s: %s", made_->c_str(), error.message().c_str());
}

}  // namespace zemblo
