#include "web/store_environment.h"

#include <adwaita.h>

#include "platform/gobject_ref.h"
#include "web/dark_mode_page_script.h"
#include "web/web_engine.h"

namespace zemblo {
namespace {

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

void connectWebEngine(BrowserStoreEnvironment& environment, std::shared_ptr<WebEngine> engine) {
  environment.clearWebsiteData =
      [weakEngine = std::weak_ptr<WebEngine>(engine)](std::function<void(bool)> done) {
        if (auto live = weakEngine.lock()) {
          live->clearWebsiteData(std::move(done));
        } else {
          done(false);
        }
      };
  environment.webViewFactory = std::move(engine);
  environment.applyPageDarkMode = &applyPageDarkModeToTab;
  // The style manager's dark state follows the theme setting and, under "system", the desktop.
  environment.isSystemDark = [] {
    return adw_style_manager_get_dark(adw_style_manager_get_default());
  };
  environment.observeSystemDark = [](std::function<void()> changed) -> std::shared_ptr<void> {
    return std::make_shared<DarkStateObservation>(std::move(changed));
  };
}

}  // namespace zemblo
