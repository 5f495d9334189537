#include "web/webkit_page_permissions.h"

#include <gtk/gtk.h>

#include <optional>

#include "model/browser_tab.h"
#include "model/site_permissions.h"
#include "model/tab_services.h"
#include "model/window_model.h"
#include "platform/observable.h"

namespace zemblo {
namespace {

std::optional<PermissionKind> kindOf(WebKitPermissionRequest* request) {
  if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request)) return PermissionKind::notifications;
  if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request)) return PermissionKind::geolocation;
  if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
    auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
    if (webkit_user_media_permission_is_for_display_device(media)) {
      return PermissionKind::displayCapture;
    }
    const bool audio = webkit_user_media_permission_is_for_audio_device(media);
    const bool video = webkit_user_media_permission_is_for_video_device(media);
    if (audio && video) return PermissionKind::cameraAndMicrophone;
    if (video) return PermissionKind::camera;
    if (audio) return PermissionKind::microphone;
    return std::nullopt;
  }
  if (WEBKIT_IS_DEVICE_INFO_PERMISSION_REQUEST(request)) return PermissionKind::deviceInfo;
  if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(request)) return PermissionKind::clipboard;
  if (WEBKIT_IS_POINTER_LOCK_PERMISSION_REQUEST(request)) return PermissionKind::pointerLock;
  if (WEBKIT_IS_MEDIA_KEY_SYSTEM_PERMISSION_REQUEST(request)) return PermissionKind::mediaKeys;
  if (WEBKIT_IS_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request)) {
    return PermissionKind::storageAccess;
  }
  return std::nullopt;
}

std::optional<std::string> pageOrigin(WebKitWebView* view) {
  const char* uri = webkit_web_view_get_uri(view);
  const auto url = uri ? Url::parse(uri) : std::nullopt;
  return url ? siteOrigin(*url) : std::nullopt;
}

std::optional<PermissionKind> kindNamed(const char* name) {
  const std::string_view text = name ? name : "";
  if (text == "notifications") return PermissionKind::notifications;
  if (text == "geolocation") return PermissionKind::geolocation;
  if (text == "camera") return PermissionKind::camera;
  if (text == "microphone") return PermissionKind::microphone;
  if (text == "clipboard-read") return PermissionKind::clipboard;
  return std::nullopt;
}

SitePermissions* sitePermissionsOf(const std::shared_ptr<BrowserTab>& tab) {
  const auto services = tab ? tab->services() : nullptr;
  return services ? services->sitePermissions.lock().get() : nullptr;
}

// Holds no reference to a WebKitSecurityOrigin beyond the list's life.
GList* securityOrigins(const std::vector<std::string>& origins) {
  GList* list = nullptr;
  for (const std::string& origin : origins) {
    const auto url = Url::parse(origin);
    const auto scheme = url ? url->scheme() : std::nullopt;
    const auto host = url ? url->host() : std::nullopt;
    if (!scheme || !host) continue;
    const int port = url->port().value_or(0);
    const bool usual = (*scheme == "http" && port == 80) || (*scheme == "https" && port == 443);
    list = g_list_prepend(list, webkit_security_origin_new(scheme->c_str(), host->c_str(),
                                                           usual ? 0 : guint16(port)));
  }
  return list;
}

}  // namespace

WebKitPagePermissions::WebKitPagePermissions(WebKitWebView* view, std::weak_ptr<BrowserTab> tab,
                                             std::shared_ptr<DesktopNotifications> notifications)
    : view_(view), tab_(std::move(tab)), notifications_(std::move(notifications)) {
  handlers_.connect(view, "permission-request", toGCallback(&onPermissionRequest), this);
  handlers_.connect(view, "query-permission-state", toGCallback(&onQueryPermissionState), this);
  handlers_.connect(view, "show-notification", toGCallback(&onShowNotification), this);
  for (const char* signal : {"notify::camera-capture-state", "notify::microphone-capture-state",
                             "notify::display-capture-state"}) {
    handlers_.connect(view, signal, toGCallback(&onCaptureState), this);
  }
}

WebKitPagePermissions::~WebKitPagePermissions() {
  alive_.end();
  handlers_.disconnectAll();
  // A page that is gone can't be brought forward: its notifications leave the desktop.
  while (!shown_.empty()) {
    const DesktopNotifications::Key key = shown_.begin()->first;
    notifications_->close(key);
    forgetNotification(key);
  }
  if (auto tab = tab_.lock()) tab->permissions.capture.set({});
}

gboolean WebKitPagePermissions::onPermissionRequest(WebKitWebView* view,
                                                    WebKitPermissionRequest* request,
                                                    WebKitPagePermissions* self) {
  const auto kind = kindOf(request);
  const auto origin = pageOrigin(view);
  auto tab = self->tab_.lock();
  SitePermissions* permissions = sitePermissionsOf(tab);
  if (!kind || !origin || !permissions) {
    webkit_permission_request_deny(request);
    return TRUE;
  }
  std::string detail;
  if (WEBKIT_IS_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request)) {
    const char* domain = webkit_website_data_access_permission_request_get_requesting_domain(
        WEBKIT_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request));
    detail = domain ? domain : "";
  }
  // The request is answered whenever the user does, however long after; the page goes on.
  auto held = std::make_shared<GObjectRef<WebKitPermissionRequest>>(
      GObjectRef<WebKitPermissionRequest>::share(request));
  permissions->request(tab->permissions, PermissionRequest{*origin, *kind, detail},
                       [held](bool allowed) {
                         if (allowed) {
                           webkit_permission_request_allow(held->get());
                         } else {
                           webkit_permission_request_deny(held->get());
                         }
                       });
  return TRUE;
}

gboolean WebKitPagePermissions::onQueryPermissionState(WebKitWebView*,
                                                       WebKitPermissionStateQuery* query,
                                                       WebKitPagePermissions* self) {
  const auto kind = kindNamed(webkit_permission_state_query_get_name(query));
  WebKitSecurityOrigin* origin = webkit_permission_state_query_get_security_origin(query);
  const auto site = origin ? siteOrigin(webkit_security_origin_get_protocol(origin) ?: "",
                                        webkit_security_origin_get_host(origin) ?: "",
                                        webkit_security_origin_get_port(origin))
                           : std::nullopt;
  SitePermissions* permissions = sitePermissionsOf(self->tab_.lock());
  WebKitPermissionState state = WEBKIT_PERMISSION_STATE_PROMPT;
  if (kind && site && permissions) {
    if (const auto decision = permissions->decisionFor(*site, *kind)) {
      state = *decision == PermissionDecision::allow ? WEBKIT_PERMISSION_STATE_GRANTED
                                                     : WEBKIT_PERMISSION_STATE_DENIED;
    }
  }
  webkit_permission_state_query_finish(query, state);
  return TRUE;
}

gboolean WebKitPagePermissions::onShowNotification(WebKitWebView* view,
                                                   WebKitNotification* notification,
                                                   WebKitPagePermissions* self) {
  const auto origin = pageOrigin(view);
  SitePermissions* permissions = sitePermissionsOf(self->tab_.lock());
  // The engine may still think a site allowed whose answer the user has since taken back.
  if (!origin || !permissions ||
      permissions->decisionFor(*origin, PermissionKind::notifications) !=
          PermissionDecision::allow) {
    webkit_notification_close(notification);
    return TRUE;
  }
  const char* uri = webkit_web_view_get_uri(view);
  const auto page = uri ? Url::parse(uri) : std::nullopt;
  const auto host = page ? page->host() : std::nullopt;
  self->showNotification(notification, host.value_or(*origin));
  return TRUE;
}

void WebKitPagePermissions::showNotification(WebKitNotification* notification,
                                             const std::string& site) {
  const char* title = webkit_notification_get_title(notification);
  const char* text = webkit_notification_get_body(notification);
  // The site says who speaks: a page's own words could claim to be anyone.
  const std::string body = text && *text ? site + "\n" + text : site;
  auto held = std::make_shared<GObjectRef<WebKitNotification>>(
      GObjectRef<WebKitNotification>::share(notification));
  const AliveToken::Watch alive = alive_.watch();
  auto key = std::make_shared<DesktopNotifications::Key>(0);
  *key = notifications_->show(
      title ? title : "", body,
      [this, alive, held] {
        if (alive.expired()) return;
        webkit_notification_clicked(held->get());
        bringTabForward();
      },
      [this, alive, key] {
        if (!alive.expired()) forgetNotification(*key);
      });
  const gulong handler =
      g_signal_connect(notification, "closed", toGCallback(&onNotificationClosed), this);
  shown_.emplace(*key, ShownNotification{held, handler});
}

void WebKitPagePermissions::forgetNotification(DesktopNotifications::Key key) {
  const auto found = shown_.find(key);
  if (found == shown_.end()) return;
  g_signal_handler_disconnect(found->second.notification->get(), found->second.closedHandler);
  shown_.erase(found);
}

void WebKitPagePermissions::onNotificationClosed(WebKitNotification* notification,
                                                 WebKitPagePermissions* self) {
  for (const auto& [key, shown] : self->shown_) {
    if (shown.notification->get() != notification) continue;
    self->notifications_->close(key);
    self->forgetNotification(key);
    return;
  }
}

void WebKitPagePermissions::bringTabForward() {
  auto tab = tab_.lock();
  const auto services = tab ? tab->services() : nullptr;
  if (!services) return;
  WindowModel& tabs = services->windows.holding(*tab);
  if (auto space = tabs.spaceContaining(*tab)) tabs.select(*space);
  tabs.select(*tab);
  GApplication* application = g_application_get_default();
  if (application && GTK_IS_APPLICATION(application)) {
    if (GtkWindow* window = gtk_application_get_active_window(GTK_APPLICATION(application))) {
      gtk_window_present(window);
    }
  }
}

void WebKitPagePermissions::onCaptureState(WebKitWebView* view, GParamSpec*,
                                           WebKitPagePermissions* self) {
  auto tab = self->tab_.lock();
  if (!tab) return;
  const auto on = [](WebKitMediaCaptureState state) {
    return state != WEBKIT_MEDIA_CAPTURE_STATE_NONE;
  };
  tab->permissions.capture.set(MediaCapture{on(webkit_web_view_get_camera_capture_state(view)),
                                            on(webkit_web_view_get_microphone_capture_state(view)),
                                            on(webkit_web_view_get_display_capture_state(view))});
}

void WebKitPagePermissions::stopCapture() {
  webkit_web_view_set_camera_capture_state(view_, WEBKIT_MEDIA_CAPTURE_STATE_NONE);
  webkit_web_view_set_microphone_capture_state(view_, WEBKIT_MEDIA_CAPTURE_STATE_NONE);
  webkit_web_view_set_display_capture_state(view_, WEBKIT_MEDIA_CAPTURE_STATE_NONE);
}

// --- NotificationPermissionsFeed

NotificationPermissionsFeed::NotificationPermissionsFeed(std::weak_ptr<SitePermissions> permissions)
    : permissions_(std::move(permissions)),
      context_(GObjectRef<WebKitWebContext>::share(webkit_web_context_get_default())) {
  handlers_.connect(context_.get(), "initialize-notification-permissions",
                    toGCallback(&onInitialize), this);
  // The first run hands over what the file held; every change of the answers hands them again.
  observer_ = std::make_unique<Observer>([this] {
    if (auto permissions = permissions_.lock()) permissions->decisions.get();
    send();
  });
}

NotificationPermissionsFeed::~NotificationPermissionsFeed() = default;

void NotificationPermissionsFeed::onInitialize(WebKitWebContext*,
                                               NotificationPermissionsFeed* self) {
  self->send();
}

void NotificationPermissionsFeed::send() {
  auto permissions = permissions_.lock();
  if (!permissions) return;
  GList* allowed = securityOrigins(permissions->notificationOrigins(PermissionDecision::allow));
  GList* blocked = securityOrigins(permissions->notificationOrigins(PermissionDecision::block));
  webkit_web_context_initialize_notification_permissions(context_.get(), allowed, blocked);
  g_list_free_full(allowed, reinterpret_cast<GDestroyNotify>(webkit_security_origin_unref));
  g_list_free_full(blocked, reinterpret_cast<GDestroyNotify>(webkit_security_origin_unref));
}

}  // namespace zemblo
