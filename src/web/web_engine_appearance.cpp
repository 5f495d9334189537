// The engine's side of the application's appearance: the style manager's light or dark state,
// and the page dark-mode look of this engine's web views.

#include <adwaita.h>

#include "platform/gobject_ref.h"
#include "web/dark_mode_page_script.h"
#include "web/web_engine.h"

namespace zemblo {
namespace {

AdwColorScheme colorSchemeFor(ThemeMode theme) {
  switch (theme) {
    case ThemeMode::light:
      return ADW_COLOR_SCHEME_FORCE_LIGHT;
    case ThemeMode::dark:
      return ADW_COLOR_SCHEME_FORCE_DARK;
    case ThemeMode::system:
      break;
  }
  return ADW_COLOR_SCHEME_DEFAULT;
}

// Reports every change of the style manager's dark state while it exists.
class DarkStateObservation {
 public:
  explicit DarkStateObservation(std::function<void()> changed) : changed_(std::move(changed)) {
    handlers_.connect(adw_style_manager_get_default(), "notify::dark", toGCallback(&onChanged),
                      this);
  }

 private:
  static void onChanged(AdwStyleManager*, GParamSpec*, DarkStateObservation* self) {
    self->changed_();
  }

  std::function<void()> changed_;
  SignalHandlers handlers_;
};

}  // namespace

void WebEngine::applyAppearance(ThemeMode theme) {
  adw_style_manager_set_color_scheme(adw_style_manager_get_default(), colorSchemeFor(theme));
}

bool WebEngine::isDark() const {
  return adw_style_manager_get_dark(adw_style_manager_get_default());
}

std::shared_ptr<void> WebEngine::observeDark(std::function<void()> changed) {
  return std::make_shared<DarkStateObservation>(std::move(changed));
}

void WebEngine::applyPageDarkMode(BrowserTab& tab, const PageDarkModeDecision& decision,
                                  bool pushToPage) {
  applyPageDarkModeToTab(tab, decision, pushToPage);
}

}  // namespace zemblo
