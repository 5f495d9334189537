#include "web/new_window_link_item.h"

#include <gio/gio.h>

#include "model/localization.h"

namespace zemblo {
namespace {

gboolean onContextMenu(WebKitWebView*, WebKitContextMenu* menu, WebKitHitTestResult* hit,
                       gpointer fromPrivateWindow) {
  const char* link = webkit_hit_test_result_context_is_link(hit)
                         ? webkit_hit_test_result_get_link_uri(hit)
                         : nullptr;
  GApplication* application = g_application_get_default();
  if (!link || !application) return FALSE;
  const char* name = fromPrivateWindow ? "open-in-new-private-window" : "open-in-new-window";
  GAction* action = g_action_map_lookup_action(G_ACTION_MAP(application), name);
  if (!action) return FALSE;
  const guint count = webkit_context_menu_get_n_items(menu);
  for (guint i = 0; i < count; ++i) {
    WebKitContextMenuItem* item = webkit_context_menu_get_item_at_position(menu, i);
    if (webkit_context_menu_item_get_stock_action(item) !=
        WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW) {
      continue;
    }
    webkit_context_menu_remove(menu, item);
    const std::string label = localized("Bağlantıyı Yeni Pencerede Aç");
    webkit_context_menu_insert(menu,
                               webkit_context_menu_item_new_from_gaction(
                                   action, label.c_str(), g_variant_new_string(link)),
                               gint(i));
    break;
  }
  return FALSE;
}

}  // namespace

void routeNewWindowLinkItem(WebKitWebView* view, bool fromPrivateWindow) {
  // Nothing but the view and a constant is reached, so the handler goes with the view.
  g_signal_connect(view, "context-menu", G_CALLBACK(onContextMenu),
                   GINT_TO_POINTER(fromPrivateWindow ? 1 : 0));
}

}  // namespace zemblo
