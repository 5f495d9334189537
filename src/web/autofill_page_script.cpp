// The password manager's page script, run in every frame in the browser's isolated script world:
// the page's scripts see neither its state nor its message handler, only the DOM they share. It
// stays a few lines until the document has a password field or a field takes the focus. When
// the user presses in a login field it asks the browser for its menu of saved logins, which the
// browser draws itself, outside the page; it fills the login the user chose there and reports
// logins the user submits. Only the user's own input makes it ask, fill or report: events a page
// dispatches itself are not trusted and are ignored.
#include "web/autofill_page_script.h"

#include "model/autofill_bridge.h"
#include "model/browser_tab.h"
#include "web/autofill_menu_channel.h"
#include "web/page_script_channel.h"
#include "web/web_resources.h"

namespace zemblo {

void installAutofillPageScript(std::weak_ptr<AutofillBridge> bridge, std::weak_ptr<BrowserTab> tab,
                               WebKitUserContentManager* contentManager) {
  addPageScript(contentManager, resources::autofillScript(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, AutofillBridge::kContentWorld);
  // A private window's logins are filled on the user's press, but never offered for saving.
  const bool offersToSave = [&] {
    const auto shown = tab.lock();
    return !shown || !shown->isPrivate();
  }();
  auto menu = std::make_shared<AutofillMenuChannel>(bridge, std::move(tab));
  // The bridge may go before the web view does.
  addScriptMessageReceiver(contentManager, AutofillBridge::kMessageHandler,
                           AutofillBridge::kContentWorld,
                           [bridge = std::move(bridge), menu, offersToSave](
                               JSCValue* message, std::shared_ptr<ScriptReply> reply) {
                             const auto target = bridge.lock();
                             char* body = target ? jsc_value_to_json(message, 0) : nullptr;
                             if (!body) return;
                             const std::string text(body);
                             g_free(body);
                             if (menu->receive(text, reply)) return;
                             reply->send(offersToSave ? target->reply(text) : std::string("null"));
                           });
}

}  // namespace zemblo
