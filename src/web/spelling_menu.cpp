#include "web/spelling_menu.h"

#include <optional>
#include <string>

#include "model/localization.h"

namespace zemblo {
namespace {

std::optional<std::string> ownLabel(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING:
      return localized("Sözlüğe ekle");
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_SPELLING:
      return localized("Yazımı yok say");
    case WEBKIT_CONTEXT_MENU_ACTION_NO_GUESSES_FOUND:
      return localized("Öneri yok");
    default:
      return std::nullopt;
  }
}

// The engine offers guesses on a right-click even with spell checking off, since it checks the
// clicked word then and there: the user turned spelling off, so none of it is offered.
void removeSpellingItems(WebKitContextMenu* menu) {
  bool removedAny = false;
  for (guint i = webkit_context_menu_get_n_items(menu); i-- > 0;) {
    WebKitContextMenuItem* item = webkit_context_menu_get_item_at_position(menu, i);
    if (isSpellingItem(webkit_context_menu_item_get_stock_action(item))) {
      webkit_context_menu_remove(menu, item);
      removedAny = true;
    }
  }
  // The separator that closed the spelling group would now open the menu.
  if (!removedAny || webkit_context_menu_get_n_items(menu) == 0) return;
  WebKitContextMenuItem* first = webkit_context_menu_get_item_at_position(menu, 0);
  if (webkit_context_menu_item_is_separator(first)) webkit_context_menu_remove(menu, first);
}

void relabelSpellingItems(WebKitContextMenu* menu) {
  const guint count = webkit_context_menu_get_n_items(menu);
  for (guint i = 0; i < count; ++i) {
    WebKitContextMenuItem* item = webkit_context_menu_get_item_at_position(menu, i);
    const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(item);
    const auto label = ownLabel(action);
    if (!label) continue;
    // A stock item keeps its label: it is replaced by the same action under ours.
    webkit_context_menu_remove(menu, item);
    webkit_context_menu_insert(
        menu, webkit_context_menu_item_new_from_stock_action_with_label(action, label->c_str()),
        gint(i));
  }
}

gboolean onContextMenu(WebKitWebView* view, WebKitContextMenu* menu, WebKitHitTestResult*,
                       gpointer) {
  if (webkit_web_context_get_spell_checking_enabled(webkit_web_view_get_context(view))) {
    relabelSpellingItems(menu);
  } else {
    removeSpellingItems(menu);
  }
  return FALSE;
}

}  // namespace

void labelSpellingItems(WebKitWebView* view) {
  // Nothing but the view is reached, so the handler goes with it.
  g_signal_connect(view, "context-menu", G_CALLBACK(onContextMenu), nullptr);
}

bool isSpellingItem(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_SPELLING_GUESS:
    case WEBKIT_CONTEXT_MENU_ACTION_NO_GUESSES_FOUND:
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_SPELLING:
    case WEBKIT_CONTEXT_MENU_ACTION_LEARN_SPELLING:
    case WEBKIT_CONTEXT_MENU_ACTION_IGNORE_GRAMMAR:
      return true;
    default:
      return false;
  }
}

}  // namespace zemblo
