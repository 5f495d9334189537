// Page dark mode inside each web view: the page script, the handler that answers it and the
// web view's own look.
#include "web/dark_mode_page_script.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "model/browser_tab.h"
#include "model/dark_mode_controller.h"
#include "model/page_dark_mode.h"
#include "platform/gobject_ref.h"
#include "web/page_script_channel.h"
#include "web/script_message.h"
#include "web/web_resources.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

constexpr const char* kScriptDataKey = "zemblo-dark-mode-script";

double finiteFactor(double value) { return std::isfinite(value) ? value : 1.0; }

std::string configJSON(const PageDarkModeDecision& decision) {
  return nlohmann::json{{"enabled", decision.dark},
                        {"brightness", finiteFactor(decision.brightness)},
                        {"contrast", finiteFactor(decision.contrast)}}
      .dump();
}

// The script a content manager has installed now, and the configuration it starts from.
struct InstalledScript {
  InstalledScript(WebKitUserScript* script, std::string config)
      : script(script), config(std::move(config)) {}
  ~InstalledScript() { webkit_user_script_unref(script); }
  InstalledScript(const InstalledScript&) = delete;
  InstalledScript& operator=(const InstalledScript&) = delete;

  WebKitUserScript* script;  // owned
  std::string config;
};

// Installs the script starting from `decision`, in place of the one before; nothing changes
// when it already starts from there. Only documents made afterwards run the new script. A page
// that stays light goes without it: it would cost every document of the page a script world and
// a question to the browser. Should the page turn dark later, the script comes with the change.
void installScript(WebKitUserContentManager* contentManager, const PageDarkModeDecision& decision) {
  auto* installed =
      static_cast<InstalledScript*>(g_object_get_data(G_OBJECT(contentManager), kScriptDataKey));
  if (!decision.dark) {
    if (installed) {
      webkit_user_content_manager_remove_script(contentManager, installed->script);
      g_object_set_data(G_OBJECT(contentManager), kScriptDataKey, nullptr);
    }
    return;
  }
  std::string config = configJSON(decision);
  if (installed && installed->config == config) return;
  const std::string source = darkModePageScript(decision);
  WebKitUserScript* script =
      webkit_user_script_new_for_world(source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                                       DarkModeController::kContentWorld, nullptr, nullptr);
  if (installed) webkit_user_content_manager_remove_script(contentManager, installed->script);
  webkit_user_content_manager_add_script(contentManager, script);
  auto next = std::make_unique<InstalledScript>(script, std::move(config));
  g_object_set_data_full(G_OBJECT(contentManager), kScriptDataKey, next.release(),
                         [](gpointer data) { delete static_cast<InstalledScript*>(data); });
}

JSCValue* replyValue(JSCContext* context, const std::optional<PageDarkModeDecision>& config) {
  if (!config) return jsc_value_new_undefined(context);
  return jsc_value_new_from_json(context, configJSON(*config).c_str());
}

}  // namespace

// The root element is in one of three states: plain, pending (dark background while the page
// loads and the decision waits for its content) and inverted. Every frame follows its tab's page.
std::string darkModePageScript(const PageDarkModeDecision& initial) {
  return resources::darkModeScript({.initialConfig = configJSON(initial)});
}

void installDarkModePageScript(std::weak_ptr<const DarkModeController> controller,
                               std::weak_ptr<const BrowserTab> tab,
                               WebKitUserContentManager* contentManager) {
  installScript(contentManager, PageDarkModeDecision{});

  // Only our own script can post here: the handler lives in the isolated world, where the
  // page's scripts have no way in. Its answer tells the page how to look and nothing else. The
  // handler may outlive the controller and the tab.
  addScriptMessageHandler(
      contentManager, DarkModeController::kMessageHandler, DarkModeController::kContentWorld,
      [controller = std::move(controller), tab = std::move(tab)](JSCValue* message) {
        std::optional<PageDarkModeDecision> config;
        const auto target = controller.lock();
        if (target && messageString(message, "type") == "config") {
          const auto page = tab.lock();
          config = target->replyConfig(page ? page->url.peek() : std::nullopt,
                                       messageString(message, "host"));
        }
        return replyValue(jsc_value_get_context(message), config);
      });
}

void applyPageDarkMode(WebKitWebView* view, const PageDarkModeDecision& decision, bool pushToPage) {
  // The background shows before the page paints and wherever it paints nothing.
  const GdkRGBA background =
      decision.dark ? GdkRGBA{0.09f, 0.09f, 0.09f, 1.0f} : GdkRGBA{1.0f, 1.0f, 1.0f, 1.0f};
  webkit_web_view_set_background_color(view, &background);
  installScript(webkit_web_view_get_user_content_manager(view), decision);
  if (!pushToPage) return;

  // A page loaded while it was to stay light has no script yet; the script leaves a page that
  // has one as it is.
  if (decision.dark) {
    webkit_web_view_evaluate_javascript(view, darkModePageScript(decision).c_str(), -1,
                                        DarkModeController::kContentWorld, nullptr, nullptr,
                                        nullptr, nullptr);
  }
  // The engine cannot pass a boolean inside an argument dictionary, so the configuration
  // travels as JSON text. The result and any failure are of no interest: a page without the
  // script yet asks for its configuration itself.
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert(&arguments, "configJSON", "s", configJSON(decision).c_str());
  GVariant* argumentMap = g_variant_ref_sink(g_variant_dict_end(&arguments));
  webkit_web_view_call_async_javascript_function(view, resources::darkModeUpdateScript().c_str(),
                                                 -1, argumentMap, DarkModeController::kContentWorld,
                                                 nullptr, nullptr, nullptr, nullptr);
  g_variant_unref(argumentMap);
}

void applyPageDarkModeToTab(BrowserTab& tab, const PageDarkModeDecision& decision,
                            bool pushToPage) {
  if (auto* port = dynamic_cast<WebKitWebViewPort*>(tab.storedWebView())) {
    applyPageDarkMode(port->webView(), decision, pushToPage);
  }
}

}  // namespace zemblo
