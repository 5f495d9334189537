#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class BrowserTab;

// A wrapping label that asks for no more than a given width, so a long text breaks into lines of
// at most that width instead of widening its parent.
class LimitedLabel : public Gtk::Label {
 public:
  void setWidthLimit(int limit) { limit_ = limit; }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;

 private:
  int limit_ = -1;
};

// The page shown instead of a web page whose load failed: what went wrong, the host that could
// not be reached and a button that tries again. Present only while the tab holds a load error.
class LoadErrorView : public Gtk::Widget {
 public:
  static constexpr int kMessageMaxWidth = 380;

  LoadErrorView();
  ~LoadErrorView() override;

  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();

  // The retry button's action.
  void retry();

  // The host line for a failed address: none without an address or host.
  static std::optional<std::string> hostLine(const BrowserTab& tab);

  const Gtk::Image& icon() const { return icon_; }
  const Gtk::Label& title() const { return title_; }
  const Gtk::Label& message() const { return message_; }
  const Gtk::Label& host() const { return host_; }
  Gtk::Button& retryButton() { return retryButton_; }

 private:
  void takeFocusFromTheCard();

  std::shared_ptr<BrowserTab> tab_;
  Gtk::Box column_{Gtk::Orientation::VERTICAL, 14};
  Gtk::Image icon_;
  Gtk::Label title_;
  LimitedLabel message_;
  Gtk::Label host_;
  Gtk::Button retryButton_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
