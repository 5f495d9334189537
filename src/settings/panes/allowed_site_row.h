#pragma once

#include <functional>
#include <string>

#include <gtkmm.h>

#include "widgets/favicon_view.h"

namespace zemblo {

// One site on the content blocker's allow list: its icon, its host and a button that takes it
// off the list.
class AllowedSiteRow : public Gtk::Box {
 public:
  AllowedSiteRow(FaviconLoader& favicons, const std::string& host, std::function<void()> remove);

 private:
  FaviconView icon_;
  Gtk::Label label_;
  Gtk::Button remove_;
};

}  // namespace zemblo
