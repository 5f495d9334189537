#pragma once

#include <map>
#include <memory>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

class DownloadManager;
class DownloadRow;

// The downloads button's popover: every download of this run, newest first, with a button that
// clears the ones no longer running, or a note that there are none yet.
class DownloadsPopover : public Gtk::Box {
 public:
  static constexpr int kWidth = 330;
  static constexpr int kMaxListHeight = 320;

  explicit DownloadsPopover(DownloadManager& manager);
  ~DownloadsPopover() override;

 private:
  void sync();
  void syncRows();

  DownloadManager& manager_;
  Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Label title_;
  Gtk::Button clear_;
  Gtk::Box empty_{Gtk::Orientation::VERTICAL, 8};
  Gtk::Image tray_;
  Gtk::Label emptyLabel_;
  Gtk::ScrolledWindow scroller_;
  Gtk::Box rowsBox_{Gtk::Orientation::VERTICAL, 2};
  std::map<Uuid, std::unique_ptr<DownloadRow>> rows_;
  std::vector<Uuid> order_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
