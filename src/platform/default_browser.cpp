#include "platform/default_browser.h"

#include <gio/gio.h>

#include "platform/gobject_ref.h"

namespace zemblo::default_browser {
namespace {

using AppInfo = GObjectRef<GAppInfo>;

// The installed application of that entry, or none. GIO has no lookup by id in its portable
// interface: the list holds every application the desktop knows.
AppInfo installed(const std::string& desktopEntry) {
  GList* all = g_app_info_get_all();
  AppInfo found;
  for (GList* item = all; item && !found; item = item->next) {
    const char* id = g_app_info_get_id(G_APP_INFO(item->data));
    if (id && desktopEntry == id) found = AppInfo::share(G_APP_INFO(item->data));
  }
  g_list_free_full(all, g_object_unref);
  return found;
}

bool handles(const std::string& desktopEntry, const char* type) {
  const auto handler = AppInfo::adopt(g_app_info_get_default_for_type(type, FALSE));
  const char* id = handler ? g_app_info_get_id(handler.get()) : nullptr;
  return id && desktopEntry == id;
}

}  // namespace

Status status(const std::string& desktopEntry) {
  if (!installed(desktopEntry)) return Status::notInstalled;
  for (const char* type : kContentTypes) {
    if (!handles(desktopEntry, type)) return Status::notDefault;
  }
  return Status::isDefault;
}

bool makeDefault(const std::string& desktopEntry) {
  const AppInfo ours = installed(desktopEntry);
  if (!ours) {
    g_warning("%s is not installed: it cannot be the default browser", desktopEntry.c_str());
    return false;
  }
  bool all = true;
  for (const char* type : kContentTypes) {
    GError* error = nullptr;
    if (!g_app_info_set_as_default_for_type(ours.get(), type, &error)) {
      g_warning("%s as the default for %s: %s", desktopEntry.c_str(), type,
                error ? error->message : "failed");
      g_clear_error(&error);
      all = false;
    }
  }
  return all;
}

}  // namespace zemblo::default_browser
