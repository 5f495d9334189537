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

// The page shown instead of a web page whose load failed: what went wrong in the browser's
// words, the host that could not be reached and a button that tries again, and behind the details
// the engine's own words. Present only while the tab holds a load error.
// For a refused certificate it names the faults and offers the certificate's details, and
// behind them the way through; for a page made from a sent form, it asks before sending it again.
class LoadErrorView : public Gtk::Widget {
 public:
  static constexpr int kMessageMaxWidth = 380;

  LoadErrorView();
  ~LoadErrorView() override;

  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();

  // The retry button's action; for a page made from a sent form, the user's yes.
  void retry();
  // The details button's action: shows or hides the engine's words or the certificate's details.
  void toggleDetails();
  // The action of the button behind the details that visits the page despite its certificate.
  void visitAnyway();

  // The host line for a failed address: none without an address or host.
  static std::optional<std::string> hostLine(const BrowserTab& tab);

 private:
  void takeFocusFromTheCard();
  void syncCertificate();

  std::shared_ptr<BrowserTab> tab_;
  Gtk::Box column_{Gtk::Orientation::VERTICAL, 14};
  Gtk::Image icon_;
  Gtk::Label title_;
  LimitedLabel message_;
  Gtk::Label host_;
  Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 10};
  Gtk::Button retryButton_;
  Gtk::Button detailsButton_;
  Gtk::Box details_{Gtk::Orientation::VERTICAL, 10};
  LimitedLabel engineMessage_;
  Gtk::Grid certificateGrid_;
  Gtk::Button visitAnywayButton_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
