#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zemblo {

// Notifications on the desktop through the session bus's org.freedesktop.Notifications. Every
// call returns at once: the bus is reached asynchronously, and a notification shown before the
// connection is up goes out once it is. A desktop without a notification server shows nothing
// (logged). The callbacks never run after this object is gone.
class DesktopNotifications {
 public:
  using Key = uint64_t;

  // `applicationName` and `desktopEntry` name the sender to the desktop.
  DesktopNotifications(std::string applicationName, std::string desktopEntry);
  ~DesktopNotifications();
  DesktopNotifications(const DesktopNotifications&) = delete;
  DesktopNotifications& operator=(const DesktopNotifications&) = delete;

  // `title` is plain text; `body` is shown as plain text too, even by servers that read markup
  // in it. `activated` runs when the user clicks the notification, `closed` once when it goes
  // for any reason.
  Key show(const std::string& title, const std::string& body, std::function<void()> activated,
           std::function<void()> closed);
  void close(Key key);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace zemblo
