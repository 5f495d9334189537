#include "model/dark_mode_controller.h"

namespace zemblo {

DarkModeController::DarkModeController(Scheduler& scheduler) : scheduler_(scheduler) {}

DarkModeController::~DarkModeController() = default;

std::optional<PageDarkModeDecision> DarkModeController::replyConfig(
    const std::optional<Url>& tabPage, const std::optional<std::string>& frameHost) const {
  if (!pages_.decisionForHost) return std::nullopt;
  std::optional<std::string> host = tabPage ? tabPage->host() : std::nullopt;
  if (!host) host = frameHost;
  return pages_.decisionForHost(host);
}

void DarkModeController::appearanceChanged() {
  // The appearance may be reported in the middle of a style change; pages follow once it is done.
  pendingApply_ = scheduler_.after(std::chrono::milliseconds(0), [this] {
    if (pages_.applyToAllTabs) pages_.applyToAllTabs();
  });
}

}  // namespace zemblo
