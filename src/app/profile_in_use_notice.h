#pragma once

#include <gtkmm.h>

#include "platform/gobject_ref.h"

namespace zemblo {

// The one window of a browser started on a profile that another copy of the browser, in another
// login session, already uses: it tells the user so. The application ends when it is closed,
// having read the settings for its language and written nothing.
class ProfileInUseNotice {
 public:
  explicit ProfileInUseNotice(Gtk::Application& app);
  ~ProfileInUseNotice();
  ProfileInUseNotice(const ProfileInUseNotice&) = delete;
  ProfileInUseNotice& operator=(const ProfileInUseNotice&) = delete;

  void present();

 private:
  GObjectRef<GtkWidget> window_;
};

}  // namespace zemblo
