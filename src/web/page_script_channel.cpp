#include "web/page_script_channel.h"

#include <memory>
#include <string>

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

}  // namespace

void addPageScript(WebKitUserContentManager* contentManager, std::string_view source,
                   WebKitUserContentInjectedFrames frames, WebKitUserScriptInjectionTime time,
                   const char* world, const std::vector<std::string>& onlyOn) {
  const std::string text(source);
  std::vector<const char*> patterns;
  for (const std::string& pattern : onlyOn) patterns.push_back(pattern.c_str());
  patterns.push_back(nullptr);
  WebKitUserScript* script = webkit_user_script_new_for_world(
      text.c_str(), frames, time, world, onlyOn.empty() ? nullptr : patterns.data(), nullptr);
  webkit_user_content_manager_add_script(contentManager, script);
  webkit_user_script_unref(script);
}

void addScriptMessageHandler(WebKitUserContentManager* contentManager, const char* name,
                             const char* world, ScriptMessageAnswer answer) {
  // Connected before it is registered, so no message can arrive unanswered.
  const std::string signal = std::string("script-message-with-reply-received::") + name;
  g_signal_connect_data(
      contentManager, signal.c_str(), toGCallback(&answerMessage),
      std::make_unique<ScriptMessageAnswer>(std::move(answer)).release(),
      [](gpointer data, GClosure*) {
        std::unique_ptr<ScriptMessageAnswer>(static_cast<ScriptMessageAnswer*>(data));
      },
      GConnectFlags(0));
  webkit_user_content_manager_register_script_message_handler_with_reply(contentManager, name,
                                                                         world);
}

}  // namespace zemblo
