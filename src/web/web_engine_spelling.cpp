// The engine's side of spell checking: one switch and one list of dictionaries for every page.

#include <webkit/webkit.h>

#include "web/web_engine.h"

namespace zemblo {

void WebEngine::applySpellChecking(bool enabled, const std::vector<std::string>& languages) {
  // Every view shares the default context, so open pages follow at once.
  WebKitWebContext* context = webkit_web_context_get_default();
  std::vector<const gchar*> names;
  for (const std::string& language : languages) names.push_back(language.c_str());
  names.push_back(nullptr);
  // The engine loads those dictionaries it finds installed and leaves out the rest.
  webkit_web_context_set_spell_checking_languages(context, names.data());
  webkit_web_context_set_spell_checking_enabled(context, enabled);
  if (enabled && languages.size() > 0) {
    const gchar* const* loaded = webkit_web_context_get_spell_checking_languages(context);
    if (!loaded || !loaded[0]) {
      g_warning("Spell checking found no installed dictionary for %s", languages.front().c_str());
    }
  }
}

}  // namespace zemblo
