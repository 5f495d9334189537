#include "platform/desktop.h"

#include <gio/gio.h>

#include <memory>
#include <string>

#include "platform/gobject_ref.h"
#include "platform/heap.h"

namespace zemblo::desktop {
namespace {

// Types whose default handler runs the file: native and Windows programs (through Wine), shared
// objects, scripts, launchers and self-contained application images, Java archives.
constexpr const char* kProgramTypes[] = {
    "application/x-executable",
    "application/x-pie-executable",
    "application/x-sharedlib",
    "application/x-shellscript",
    "application/x-desktop",
    "application/vnd.appimage",
    "application/x-ms-dos-executable",
    "application/x-msdownload",
    "application/x-msi",
    "application/x-ms-shortcut",
    "application/x-java-archive",
    "application/x-java-jnlp-file",
};

constexpr int kFileManagerTimeoutMs = 5000;

std::string uriOf(const std::filesystem::path& file) {
  GFile* handle = g_file_new_for_path(file.c_str());
  char* uri = g_file_get_uri(handle);
  std::string result = uri;
  g_free(uri);
  g_object_unref(handle);
  return result;
}

// Each callback owns a heap copy of the path it works on.
using PathBox = std::unique_ptr<std::filesystem::path>;
gpointer boxed(const std::filesystem::path& file) {
  return std::make_unique<std::filesystem::path>(file).release();
}
PathBox unboxed(gpointer data) { return PathBox(static_cast<std::filesystem::path*>(data)); }

// A file to open and whom to tell when that fails, owned by the callback that works on it.
struct OpenRequest {
  std::filesystem::path file;
  std::function<void(const std::string&)> failed;

  void fail(const char* what, const GError* error) const {
    g_warning("%s %s: %s", what, file.c_str(), error->message);
    if (failed) failed(error->message);
  }
};
using RequestBox = std::unique_ptr<OpenRequest>;

void launchDefault(const std::filesystem::path& target,
                   std::function<void(const std::string&)> failed = {}) {
  const auto context = GObjectRef<GAppLaunchContext>::adopt(g_app_launch_context_new());
  if (const auto settings = heap::usersSettings()) {
    g_app_launch_context_setenv(context.get(), heap::kSettingsVariable, settings->c_str());
  } else {
    g_app_launch_context_unsetenv(context.get(), heap::kSettingsVariable);
  }
  g_app_info_launch_default_for_uri_async(
      uriOf(target).c_str(), context.get(), nullptr,
      [](GObject*, GAsyncResult* result, gpointer data) {
        const RequestBox request(static_cast<OpenRequest*>(data));
        GError* error = nullptr;
        if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
          request->fail("No application opened", error);
          g_error_free(error);
        }
      },
      std::make_unique<OpenRequest>(OpenRequest{target, std::move(failed)}).release());
}

void openFolderOf(const std::filesystem::path& file) { launchDefault(file.parent_path()); }

void showItems(GDBusConnection* bus, const std::filesystem::path& file) {
  GVariantBuilder uris;
  g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
  g_variant_builder_add(&uris, "s", uriOf(file).c_str());
  g_dbus_connection_call(
      bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
      "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(ass)", &uris, ""), nullptr,
      G_DBUS_CALL_FLAGS_NONE, kFileManagerTimeoutMs, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const PathBox file = unboxed(data);
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (reply) {
          g_variant_unref(reply);
          return;
        }
        g_error_free(error);
        openFolderOf(*file);
      },
      boxed(file));
}

}  // namespace

bool runsAsProgram(std::string_view contentType) {
  const std::string type(contentType);
  for (const char* program : kProgramTypes) {
    if (g_content_type_is_a(type.c_str(), program)) return true;
  }
  return false;
}

void openFile(const std::filesystem::path& file,
              std::function<void(const std::string& reason)> failed) {
  GFile* handle = g_file_new_for_path(file.c_str());
  g_file_query_info_async(
      handle, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, G_PRIORITY_DEFAULT,
      nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        RequestBox request(static_cast<OpenRequest*>(data));
        GError* error = nullptr;
        GFileInfo* info = g_file_query_info_finish(G_FILE(source), result, &error);
        if (!info) {
          request->fail("Cannot open", error);
          g_error_free(error);
          return;
        }
        const char* type = g_file_info_get_content_type(info);
        const bool program = type && runsAsProgram(type);
        g_object_unref(info);
        if (program) {
          revealFile(request->file);
        } else {
          launchDefault(request->file, std::move(request->failed));
        }
      },
      std::make_unique<OpenRequest>(OpenRequest{file, std::move(failed)}).release());
  g_object_unref(handle);
}

void revealFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    openFolderOf(file);
    return;
  }
  g_bus_get(
      G_BUS_TYPE_SESSION, nullptr,
      [](GObject*, GAsyncResult* result, gpointer data) {
        const PathBox file = unboxed(data);
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_finish(result, &error);
        if (!bus) {
          g_error_free(error);
          openFolderOf(*file);
          return;
        }
        showItems(bus, *file);
        g_object_unref(bus);
      },
      boxed(file));
}

}  // namespace zemblo::desktop
