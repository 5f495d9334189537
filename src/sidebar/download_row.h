#pragma once

#include <memory>
#include <string>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class DownloadItem;

// One download in the popover: the file's icon and name, its progress or how it ended, and a
// button that shows the file in the file manager. A click opens a finished file; when that fails
// the row says so, with the reason in its tooltip.
class DownloadRow : public Gtk::Box {
 public:
  static constexpr int kIconSize = 30;
  static constexpr int kRevealSize = 22;

  explicit DownloadRow(std::shared_ptr<DownloadItem> item);
  ~DownloadRow() override;

 private:
  void sync();
  void setHovering(bool hovering);

  std::shared_ptr<DownloadItem> item_;
  bool hovering_ = false;
  // Whether the icon is the file's own (finished) rather than the generic document.
  bool showsFileIcon_ = false;
  std::string iconKey_;  // what the icon shows now
  Gtk::Image icon_;
  Gtk::Box texts_{Gtk::Orientation::VERTICAL, 4};
  Gtk::Label name_;
  Gtk::ProgressBar progress_;
  Gtk::Label stateLabel_;
  Gtk::Button reveal_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
