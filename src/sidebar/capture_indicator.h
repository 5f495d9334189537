#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class BrowserTab;

// The mark on a tab's row while its page uses the camera, the microphone or the screen; a click
// on it ends the capture. Hidden otherwise.
class CaptureIndicator : public Gtk::Button {
 public:
  static constexpr int kSize = 20;

  explicit CaptureIndicator(std::shared_ptr<BrowserTab> tab);
  ~CaptureIndicator() override;

 private:
  void sync();

  std::shared_ptr<BrowserTab> tab_;
  Gtk::Image image_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
