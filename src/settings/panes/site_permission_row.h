#pragma once

#include <functional>
#include <string>

#include <gtkmm.h>

#include "model/site_permission.h"
#include "widgets/favicon_view.h"

namespace zemblo {

// One remembered answer to a site's permission question: the site's icon and host, the
// permission with the answer, and a button that forgets it so the site asks again.
class SitePermissionRow : public Gtk::Box {
 public:
  SitePermissionRow(FaviconLoader& favicons, const std::string& origin, PermissionKind kind,
                    PermissionDecision decision, std::function<void()> remove);

 private:
  FaviconView icon_;
  Gtk::Box text_{Gtk::Orientation::VERTICAL, 1};
  Gtk::Label title_;
  Gtk::Label subtitle_;
  Gtk::Button remove_;
};

}  // namespace zemblo
