#include "web/autofill_page_script.h"

#include "model/autofill_bridge.h"
#include "model/localization.h"
#include "web/page_script_channel.h"

namespace zemblo {
namespace {

void replaceAll(std::string& text, std::string_view from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
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
  addPageScript(contentManager, autofillPageScript(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, AutofillBridge::kContentWorld);
  // The bridge may go before the web view does.
  addScriptMessageHandler(
      contentManager, AutofillBridge::kMessageHandler, AutofillBridge::kContentWorld,
      [bridge = std::move(bridge)](JSCValue* message) -> JSCValue* {
        const auto target = bridge.lock();
        char* body = target ? jsc_value_to_json(message, 0) : nullptr;
        if (!body) return nullptr;
        const std::string answer = target->reply(body);
        g_free(body);
        return jsc_value_new_from_json(jsc_value_get_context(message), answer.c_str());
      });
}

}  // namespace zemblo
