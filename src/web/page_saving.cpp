#include "web/page_saving.h"

#include <memory>

#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

using Done = std::function<void(std::optional<std::string>)>;

void saved(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Done> done(static_cast<Done*>(data));
  GError* error = nullptr;
  std::optional<std::string> failure;
  if (!webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(source), result, &error)) {
    failure = error && error->message ? error->message : "no reason given";
    g_warning("The page could not be saved: %s", failure->c_str());
  }
  g_clear_error(&error);
  (*done)(std::move(failure));
}

}  // namespace

void savePageAsMHTML(WebKitWebView* view, const std::filesystem::path& file,
                     std::function<void(std::optional<std::string> failure)> done) {
  auto target = GObjectRef<GFile>::adopt(g_file_new_for_path(file.c_str()));
  // The operation holds the view until it ends.
  webkit_web_view_save_to_file(view, target.get(), WEBKIT_SAVE_MODE_MHTML, nullptr, saved,
                               std::make_unique<Done>(std::move(done)).release());
}

}  // namespace zemblo
