#pragma once

#include <gtkmm.h>

#include "platform/gobject_ref.h"

namespace zemblo {

// The one window of a browser started on a profile that another copy of the browser, in another
// login session, already uses: it tells the user so. The application ends when it is closed,
// having read the settings for its language and written nothing.
class ProfileInUseNotice {
 public:
  // Held by `app` while shown, when there is one.
  explicit ProfileInUseNotice(Gtk::Application* app);
  ~ProfileInUseNotice();
  ProfileInUseNotice(const ProfileInUseNotice&) = delete;
  ProfileInUseNotice& operator=(const ProfileInUseNotice&) = delete;

  void present();
  // Shows the notice alone, without an application, and returns the exit status once it is closed.
  // An application's start asks the session bus for services (a session manager, the desktop
  // portal) that on another login session may not answer for the whole of a call's timeout.
  static int runAlone();

 private:
  GObjectRef<GtkWidget> window_;
};

}  // namespace zemblo
