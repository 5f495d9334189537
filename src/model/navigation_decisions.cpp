#include "model/navigation_decisions.h"

#include "model/localization.h"
#include "model/tab_web_view.h"
#include "platform/text.h"

namespace zemblo {

NavigationDecisions::Policy NavigationDecisions::decideAction(const NavigationAction& action) {
  if (action.shouldPerformDownload) return Policy::download;
  // The middle button opens a link where Ctrl+click does, as on every Linux desktop.
  if (action.isLinkActivation && (action.control || action.middleButton)) {
    if (!action.url) return Policy::allow;
    tab_.openBeside(*action.url, /*inBackground=*/!action.shift);
    return Policy::cancel;
  }
  if (!action.targetsMainFrame) return Policy::allow;
  // A redirect goes on with the navigation it belongs to, already decided.
  if (action.sendsFormData && !action.isFormSubmission && !action.isRedirect) {
    // A purchase or a payment must never go through twice unasked. A frame's is never sent again:
    // the question would cover its page with another site's address.
    if (action.inFrame) return Policy::cancel;
    const bool agreed = formResendAgreed_ && formResendAgreed_ == action.url;
    formResendAgreed_.reset();
    if (!agreed) {
      tab_.showError(LoadError{{}, action.url, std::nullopt, /*resendsForm=*/true},
                     /*endsNavigation=*/false);
      return Policy::cancel;
    }
  }
  sendsFormData_ = action.sendsFormData;
  return Policy::allow;
}

NavigationDecisions::Policy NavigationDecisions::decideResponse(
    const NavigationResponse& response) {
  if (!response.canShowMimeType) return Policy::download;
  if (response.isForMainFrame && response.isHttp && response.contentDisposition &&
      asciiLowercased(*response.contentDisposition).starts_with("attachment")) {
    return Policy::download;
  }
  return Policy::allow;
}

void NavigationDecisions::resendForm() {
  const auto& error = tab_.shownError();
  auto* view = page_.stored();
  if (!error || !error->resendsForm || !view) return;
  // Agreed before asking: the engine may decide the request before the call returns.
  formResendAgreed_ = error->url;
  if (!view->resendForm()) formResendAgreed_.reset();
}

void NavigationDecisions::webContentProcessTerminated(bool endedByBrowser) {
  auto* view = page_.stored();
  if (endedByBrowser || !view) return;
  const auto moment = now();
  while (!crashReloads_.empty() && moment - crashReloads_.front() >= kCrashWindow) {
    crashReloads_.pop_front();
  }
  if (static_cast<int>(crashReloads_.size()) < kCrashReloadLimit) {
    crashReloads_.push_back(moment);
    view->reload();
    return;
  }
  // A page that keeps crashing its process is not reloaded forever: the error page offers a retry.
  tab_.showError(LoadError{.url = tab_.address(), .cause = FailureCause::pageKeptCrashing},
                 /*endsNavigation=*/false);
}

void NavigationDecisions::handleCertificateFailure(CertificateFault fault,
                                                   const std::optional<Url>& address) {
  tab_.showError(
      LoadError{localized("Bu sitenin sertifikasına güvenilmiyor"), address, std::move(fault)},
      /*endsNavigation=*/true);
}

void NavigationDecisions::visitDespiteCertificate() {
  const auto& error = tab_.shownError();
  auto* view = page_.stored();
  if (!error || !error->certificate || !view) return;
  view->allowRefusedCertificate();
}

std::shared_ptr<BrowserTab> NavigationDecisions::createPopupTab() {
  if (!popupAllowed_) return nullptr;
  // Spent before the window opens, which may take the engine's turns.
  popupAllowed_ = false;
  auto popup = tab_.openPopup();
  // With no window to open it in, the press stays unused.
  if (!popup) popupAllowed_ = true;
  return popup;
}

}  // namespace zemblo
