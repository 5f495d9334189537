#pragma once

#include <webkit/webkit.h>

#include <map>
#include <memory>

#include "platform/alive_token.h"
#include "platform/desktop_notifications.h"
#include "platform/gobject_ref.h"

namespace zemblo {

class BrowserTab;

// One web view's permission questions, notifications and media capture, in the tab's terms: a
// request goes to the site's remembered answer or to the tab's bar, a notification of a site the
// user allowed goes to the desktop (a click brings its tab forward), and the capture states go to
// the tab's row.
class WebKitPagePermissions {
 public:
  WebKitPagePermissions(WebKitWebView* view, std::weak_ptr<BrowserTab> tab,
                        std::shared_ptr<DesktopNotifications> notifications);
  ~WebKitPagePermissions();
  WebKitPagePermissions(const WebKitPagePermissions&) = delete;
  WebKitPagePermissions& operator=(const WebKitPagePermissions&) = delete;

  void stopCapture();

 private:
  static gboolean onPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                      WebKitPagePermissions* self);
  static gboolean onQueryPermissionState(WebKitWebView*, WebKitPermissionStateQuery* query,
                                         WebKitPagePermissions* self);
  static gboolean onShowNotification(WebKitWebView*, WebKitNotification* notification,
                                     WebKitPagePermissions* self);
  static void onNotificationClosed(WebKitNotification* notification, WebKitPagePermissions* self);
  static void onCaptureState(WebKitWebView*, GParamSpec*, WebKitPagePermissions* self);

  void showNotification(WebKitNotification* notification, const std::string& site);
  // Lets go of a notification that left the desktop.
  void forgetNotification(DesktopNotifications::Key key);
  void bringTabForward();

  WebKitWebView* view_;  // the port's, which outlives this object
  std::weak_ptr<BrowserTab> tab_;
  std::shared_ptr<DesktopNotifications> notifications_;
  // The page's notifications on the desktop, by their key there, each with its "closed" handler,
  // which goes before the notification can.
  struct ShownNotification {
    std::shared_ptr<GObjectRef<WebKitNotification>> notification;
    gulong closedHandler = 0;
  };
  std::map<DesktopNotifications::Key, ShownNotification> shown_;
  AliveToken alive_;
  SignalHandlers handlers_;
};

// Hands the engine the sites whose notifications the user answered, now and whenever the answers
// change, so that a page sees its site's answer in Notification.permission from its first line.
class NotificationPermissionsFeed {
 public:
  explicit NotificationPermissionsFeed(std::weak_ptr<class SitePermissions> permissions);
  ~NotificationPermissionsFeed();
  NotificationPermissionsFeed(const NotificationPermissionsFeed&) = delete;
  NotificationPermissionsFeed& operator=(const NotificationPermissionsFeed&) = delete;

 private:
  static void onInitialize(WebKitWebContext* context, NotificationPermissionsFeed* self);
  void send();

  std::weak_ptr<SitePermissions> permissions_;
  // The engine drops its own reference to the context among the program's last destructors, which
  // may come before this feed's.
  GObjectRef<WebKitWebContext> context_;
  SignalHandlers handlers_;
  std::unique_ptr<class Observer> observer_;
};

}  // namespace zemblo
