#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/page_dark_mode.h"
#include "model/page_script_world.h"
#include "platform/scheduler.h"
#include "platform/url.h"

namespace zemblo {

// Page dark mode: darkens light pages in every tab according to the preferences and the
// application's appearance. The web engine side runs the page script, which asks this controller
// how to show its page; the page services push changes into open pages.
class DarkModeController {
 public:
  // The isolated script world of the page script and its handler: the page's own scripts can
  // neither reach the handler nor the script's state.
  static constexpr const char* kContentWorld = kPageScriptWorld;
  static constexpr const char* kMessageHandler = "zembloDark";

  explicit DarkModeController(Scheduler& scheduler);
  ~DarkModeController();
  DarkModeController(const DarkModeController&) = delete;
  DarkModeController& operator=(const DarkModeController&) = delete;

  // What the page services whose tabs it darkens answer, from start-up on: how a page on a host
  // is to look (none once they are gone), and bringing every open page in line.
  struct Pages {
    std::function<std::optional<PageDarkModeDecision>(const std::optional<std::string>& host)>
        decisionForHost;
    std::function<void()> applyToAllTabs;
  };
  void serve(Pages pages) { pages_ = std::move(pages); }
  // Watches the application's light or dark appearance while held; set at start-up too.
  std::shared_ptr<void> appearanceObservation;

  // The answer to a page script: how the tab's page is to look, every frame of the tab alike;
  // the host the frame reported stands in only while the tab has no page with a host. None once
  // the services are gone.
  std::optional<PageDarkModeDecision> replyConfig(
      const std::optional<Url>& tabPage, const std::optional<std::string>& frameHost) const;

  // The application turned light or dark: every open page follows on a later turn.
  void appearanceChanged();

 private:
  Scheduler& scheduler_;
  Pages pages_;
  std::unique_ptr<ScheduledTask> pendingApply_;
};

}  // namespace zemblo
