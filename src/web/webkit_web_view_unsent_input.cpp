// Whether a page holds input its user has not sent, asked before its tab sleeps. The script runs
// only then, in a world of its own, so pages carry nothing for it meanwhile.
#include <memory>

#include "web/web_resources.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

struct UnsentInputRequest {
  std::function<void(std::optional<bool>)> done;
  AliveToken::Watch portAlive;
};

void unsentInputFound(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<UnsentInputRequest> request(static_cast<UnsentInputRequest*>(data));
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
  std::optional<bool> unsent;
  if (value && jsc_value_is_boolean(value)) unsent = jsc_value_to_boolean(value);
  if (error && !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
    g_warning("A page could not tell whether it holds input not sent: %s", error->message);
  }
  if (value) g_object_unref(value);
  g_clear_error(&error);
  if (request->portAlive.expired()) return;
  request->done(unsent);
}

}  // namespace

void WebKitWebViewPort::findUnsentInput(std::function<void(std::optional<bool>)> done) {
  auto request =
      std::make_unique<UnsentInputRequest>(UnsentInputRequest{std::move(done), alive_.watch()});
  webkit_web_view_evaluate_javascript(view_.get(), resources::unsentInputScript().c_str(), -1,
                                      kUnsentInputWorld, nullptr, cancellable_.get(),
                                      &unsentInputFound, request.release());
}

}  // namespace zemblo
