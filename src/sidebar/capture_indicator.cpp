#include "sidebar/capture_indicator.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

CaptureIndicator::CaptureIndicator(std::shared_ptr<BrowserTab> tab) : tab_(std::move(tab)) {
  set_name("CaptureIndicator");
  add_css_class("flat");
  add_css_class("tab-close");
  set_focus_on_click(false);
  set_size_request(kSize, kSize);
  set_visible(false);
  image_.set_pixel_size(12);
  set_child(image_);
  signal_clicked().connect([this] {
    if (auto* view = tab_->storedWebView()) view->stopMediaCapture();
  });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

CaptureIndicator::~CaptureIndicator() { observer_.reset(); }

void CaptureIndicator::sync() {
  const MediaCapture& capture = tab_->permissions.capture.get();
  set_visible(capture.any());
  if (!capture.any()) return;
  image_.set_from_icon_name(capture.display  ? "video-display-symbolic"
                            : capture.camera ? "camera-web-symbolic"
                                             : "audio-input-microphone-symbolic");
  // Red, as a recording light.
  image_.add_css_class("error");
  const std::string help =
      localized("Kamera, mikrofon veya ekran kullanılıyor; durdurmak için tıkla");
  setTooltipText(*this, help);
  setAccessibleName(*this, help);
}

}  // namespace zemblo
