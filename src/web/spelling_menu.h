#pragma once

#include <webkit/webkit.h>

namespace zemblo {

// The engine's own menu for a misspelt word keeps its guesses; its other spelling items get the
// browser's words, in the interface's language, and still do what the engine's items do. With
// spell checking off the menu offers no spelling at all.
void labelSpellingItems(WebKitWebView* view);

// Whether an item of the engine's menu belongs to its spelling: guesses, ignore and learn.
bool isSpellingItem(WebKitContextMenuAction action);

}  // namespace zemblo
