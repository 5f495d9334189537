#include "web/page_script_channel.h"

#include <memory>
#include <string>
#include <utility>

#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

gboolean answerMessage(WebKitUserContentManager*, JSCValue* message,
                       WebKitScriptMessageReply* reply, ScriptMessageAnswer* answer) {
  JSCValue* value = (*answer)(message);
  if (!value) value = jsc_value_new_null(jsc_value_get_context(message));
  webkit_script_message_reply_return_value(reply, value);
  g_object_unref(value);
  return TRUE;
}

gboolean receiveMessage(WebKitUserContentManager*, JSCValue* message,
                        WebKitScriptMessageReply* reply, ScriptMessageReceiver* receive) {
  (*receive)(message, std::make_shared<ScriptReply>(reply, jsc_value_get_context(message)));
  return TRUE;
}

template <class Handler>
void connectHandler(WebKitUserContentManager* contentManager, const char* name, const char* world,
                    GCallback callback, Handler handler) {
  // Connected before it is registered, so no message can arrive unanswered.
  const std::string signal = std::string("script-message-with-reply-received::") + name;
  g_signal_connect_data(
      contentManager, signal.c_str(), callback,
      std::make_unique<Handler>(std::move(handler)).release(),
      [](gpointer data, GClosure*) { std::unique_ptr<Handler>(static_cast<Handler*>(data)); },
      GConnectFlags(0));
  webkit_user_content_manager_register_script_message_handler_with_reply(contentManager, name,
                                                                         world);
}

}  // namespace

ScriptReply::ScriptReply(WebKitScriptMessageReply* reply, JSCContext* context)
    : reply_(webkit_script_message_reply_ref(reply)),
      context_(JSC_CONTEXT(g_object_ref(context))) {}

ScriptReply::~ScriptReply() {
  send("null");
  g_object_unref(context_);
}

void ScriptReply::send(std::string_view json) {
  if (!reply_) return;
  const std::string text(json);
  JSCValue* value = jsc_value_new_from_json(context_, text.c_str());
  if (!value) value = jsc_value_new_null(context_);
  webkit_script_message_reply_return_value(reply_, value);
  g_object_unref(value);
  webkit_script_message_reply_unref(std::exchange(reply_, nullptr));
}

void addPageScript(WebKitUserContentManager* contentManager, std::string_view source,
                   WebKitUserContentInjectedFrames frames, WebKitUserScriptInjectionTime time,
                   const char* world, const std::vector<std::string>& onlyOn) {
  const std::string text(source);
  std::vector<const char*> patterns;
  for (const std::string& pattern : onlyOn) patterns.push_back(pattern.c_str());
  patterns.push_back(nullptr);
  const char* const* allowed = onlyOn.empty() ? nullptr : patterns.data();
  WebKitUserScript* script =
      world ? webkit_user_script_new_for_world(text.c_str(), frames, time, world, allowed, nullptr)
            : webkit_user_script_new(text.c_str(), frames, time, allowed, nullptr);
  webkit_user_content_manager_add_script(contentManager, script);
  webkit_user_script_unref(script);
}

void addScriptMessageHandler(WebKitUserContentManager* contentManager, const char* name,
                             const char* world, ScriptMessageAnswer answer) {
  connectHandler(contentManager, name, world, toGCallback(&answerMessage), std::move(answer));
}

void addScriptMessageReceiver(WebKitUserContentManager* contentManager, const char* name,
                              const char* world, ScriptMessageReceiver receive) {
  connectHandler(contentManager, name, world, toGCallback(&receiveMessage), std::move(receive));
}

}  // namespace zemblo
