#include "model/tab_web_view.h"

#include <utility>

namespace zemblo {

TabWebView::~TabWebView() = default;

WebViewPort* TabWebView::view() {
  if (view_) return view_.get();
  view_ = tab_.makeWebView();
  if (!view_) return nullptr;
  asleep_ = false;
  tab_.prepareWebView(*view_);
  return view_.get();
}

std::optional<std::string> TabWebView::sessionState() const {
  if (!view_) return kept_;
  return view_->sessionState();
}

void TabWebView::keepSessionState(std::optional<std::string> state) { kept_ = std::move(state); }

void TabWebView::startAfresh() {
  kept_.reset();
  started_ = true;
}

void TabWebView::wake() {
  if (started_) return;
  started_ = true;
  if (!tab_.hasAddress()) return;
  auto* made = view();
  if (!made) return;
  // A state the engine can't take back still leaves the tab its address.
  auto state = std::exchange(kept_, std::nullopt);
  if (state && made->restoreSessionState(*state)) return;
  if (state) tab_.sessionStateRejected(std::move(*state));
  tab_.loadAddress(*made);
}

void TabWebView::release() {
  tab_.webViewEnding();
  const bool hadView = static_cast<bool>(view_);
  if (view_) {
    view_->stopLoading();
    view_.reset();
  }
  adBlockApplied_ = false;
  tab_.webViewEnded(hadView);
}

bool TabWebView::sleep(WithoutList withoutList) {
  if (!view_) return false;
  auto state = view_->sessionState();
  if (!state && withoutList == WithoutList::keepView) return false;
  release();
  kept_ = std::move(state);
  started_ = false;
  asleep_ = true;
  return true;
}

}  // namespace zemblo
