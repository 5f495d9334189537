#pragma once

#include <webkit/webkit.h>

#include <chrono>
#include <optional>
#include <string>

namespace zemblo::bench {

// Runs a function body in the page (it may await) and returns its result as text; none when the
// page gave none within a minute. The main loop runs meanwhile.
inline std::optional<std::string> callPageFunction(WebKitWebView* view, const std::string& body) {
  struct Call {
    bool done = false;
    std::optional<std::string> result;
  } call;
  webkit_web_view_call_async_javascript_function(
      view, body.c_str(), -1, nullptr, nullptr, nullptr, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        auto* call = static_cast<Call*>(data);
        if (JSCValue* value = webkit_web_view_call_async_javascript_function_finish(
                WEBKIT_WEB_VIEW(source), result, nullptr)) {
          char* text = jsc_value_to_string(value);
          call->result = text;
          g_free(text);
          g_object_unref(value);
        }
        call->done = true;
      },
      &call);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!call.done && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
  }
  return call.result;
}

}  // namespace zemblo::bench
