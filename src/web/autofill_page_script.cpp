#include "web/autofill_page_script.h"

#include "model/autofill_bridge.h"
#include "model/localization.h"
#include "platform/gobject_ref.h"

namespace zemblo {
namespace {

void replaceAll(std::string& text, std::string_view from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The bridge may go before the web view does.
struct HandlerTarget {
  std::weak_ptr<AutofillBridge> bridge;
};

gboolean answerMessage(WebKitUserContentManager*, JSCValue* message,
                       WebKitScriptMessageReply* reply, HandlerTarget* target) {
  std::string answer = "null";
  if (const auto bridge = target->bridge.lock()) {
    if (char* body = jsc_value_to_json(message, 0)) {
      answer = bridge->reply(body);
      g_free(body);
    }
  }
  JSCContext* context = jsc_value_get_context(message);
  JSCValue* value = jsc_value_new_from_json(context, answer.c_str());
  if (!value) value = jsc_value_new_null(context);
  webkit_script_message_reply_return_value(reply, value);
  g_object_unref(value);
  return TRUE;
}

}  // namespace

std::string autofillPageScript() {
  std::string script(kAutofillScriptText);
  for (const char* text : {"Zemblo · Kayıtlı şifreler", "(kullanıcı adı yok)"}) {
    replaceAll(script, text, localized(text));
  }
  return script;
}

void installAutofillPageScript(std::weak_ptr<AutofillBridge> bridge,
                               WebKitUserContentManager* contentManager) {
  const std::string source = autofillPageScript();
  WebKitUserScript* script = webkit_user_script_new_for_world(
      source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, AutofillBridge::kContentWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(contentManager, script);
  webkit_user_script_unref(script);

  // Connected before it is registered, so no message can arrive unanswered.
  const std::string signal =
      std::string("script-message-with-reply-received::") + AutofillBridge::kMessageHandler;
  g_signal_connect_data(
      contentManager, signal.c_str(), toGCallback(&answerMessage),
      std::make_unique<HandlerTarget>(HandlerTarget{std::move(bridge)}).release(),
      [](gpointer data, GClosure*) {
        std::unique_ptr<HandlerTarget>(static_cast<HandlerTarget*>(data));
      },
      GConnectFlags(0));
  webkit_user_content_manager_register_script_message_handler_with_reply(
      contentManager, AutofillBridge::kMessageHandler, AutofillBridge::kContentWorld);
}

}  // namespace zemblo
