#include "platform/desktop_notifications.h"

#include <gio/gio.h>

#include <map>
#include <optional>
#include <vector>

namespace zemblo {
namespace {

constexpr const char* kName = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kDefaultAction = "default";

}  // namespace

struct DesktopNotifications::State : std::enable_shared_from_this<State> {
  struct Entry {
    std::string title;
    std::string body;
    std::function<void()> activated;
    std::function<void()> closed;
    std::optional<guint32> serverId;
    bool sent = false;
    bool closeWhenKnown = false;
  };

  std::string applicationName;
  std::string desktopEntry;
  GDBusConnection* bus = nullptr;
  bool connecting = false;
  guint actionSignal = 0;
  guint closedSignal = 0;
  GCancellable* cancellable = g_cancellable_new();
  Key nextKey = 1;
  std::map<Key, Entry> entries;

  ~State() {
    g_cancellable_cancel(cancellable);
    g_object_unref(cancellable);
    if (bus) {
      g_dbus_connection_signal_unsubscribe(bus, actionSignal);
      g_dbus_connection_signal_unsubscribe(bus, closedSignal);
      g_object_unref(bus);
    }
  }

  std::optional<Key> keyOf(guint32 serverId) const {
    for (const auto& [key, entry] : entries) {
      if (entry.serverId == serverId) return key;
    }
    return std::nullopt;
  }

  void connect() {
    if (bus || connecting) return;
    connecting = true;
    auto* weak = new std::weak_ptr<State>(weak_from_this());
    g_bus_get(G_BUS_TYPE_SESSION, cancellable, &State::connected, weak);
  }

  static void connected(GObject*, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::weak_ptr<State>> weak(static_cast<std::weak_ptr<State>*>(data));
    GError* error = nullptr;
    GDBusConnection* connection = g_bus_get_finish(result, &error);
    auto self = weak->lock();
    if (!connection) {
      if (self) {
        g_warning("No session bus for notifications: %s", error->message);
        self->connecting = false;
        // Nothing waits for a bus that isn't there: the next notification tries again.
        std::vector<Key> waiting;
        for (const auto& [key, entry] : self->entries) waiting.push_back(key);
        for (Key key : waiting) self->finish(key);
      }
      g_clear_error(&error);
      return;
    }
    if (!self) {
      g_object_unref(connection);
      return;
    }
    self->connecting = false;
    self->bus = connection;
    // The subscriptions hold only a weak pointer: they are ended before the state goes.
    self->actionSignal = g_dbus_connection_signal_subscribe(
        connection, nullptr, kName, "ActionInvoked", kPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        &State::actionInvoked, self.get(), nullptr);
    self->closedSignal = g_dbus_connection_signal_subscribe(
        connection, nullptr, kName, "NotificationClosed", kPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        &State::notificationClosed, self.get(), nullptr);
    for (auto& [key, entry] : self->entries) {
      if (!entry.sent) self->send(key, entry);
    }
  }

  void send(Key key, Entry& entry) {
    entry.sent = true;
    char* escaped = g_markup_escape_text(entry.body.c_str(), -1);
    GVariantBuilder actions;
    g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&actions, "s", kDefaultAction);
    g_variant_builder_add(&actions, "s", applicationName.c_str());
    GVariantBuilder hints;
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&hints, "{sv}", "desktop-entry",
                          g_variant_new_string(desktopEntry.c_str()));
    GVariant* parameters =
        g_variant_new("(susssasa{sv}i)", applicationName.c_str(), guint32(0), desktopEntry.c_str(),
                      entry.title.c_str(), escaped, &actions, &hints, gint32(-1));
    g_free(escaped);
    auto* request = new std::pair<std::weak_ptr<State>, Key>(weak_from_this(), key);
    g_dbus_connection_call(bus, kName, kPath, kName, "Notify", parameters, G_VARIANT_TYPE("(u)"),
                           G_DBUS_CALL_FLAGS_NONE, -1, cancellable, &State::notified, request);
  }

  static void notified(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::pair<std::weak_ptr<State>, Key>> request(
        static_cast<std::pair<std::weak_ptr<State>, Key>*>(data));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    auto self = request->first.lock();
    if (!reply) {
      if (self) g_warning("The desktop did not take a notification: %s", error->message);
      g_clear_error(&error);
      if (self) self->finish(request->second);
      return;
    }
    guint32 serverId = 0;
    g_variant_get(reply, "(u)", &serverId);
    g_variant_unref(reply);
    if (!self) return;
    const auto found = self->entries.find(request->second);
    if (found == self->entries.end()) return;
    found->second.serverId = serverId;
    if (found->second.closeWhenKnown) self->closeOnServer(serverId);
  }

  void closeOnServer(guint32 serverId) {
    g_dbus_connection_call(bus, kName, kPath, kName, "CloseNotification",
                           g_variant_new("(u)", serverId), nullptr, G_DBUS_CALL_FLAGS_NONE, -1,
                           nullptr, nullptr, nullptr);
  }

  // Ends an entry and tells its owner, once.
  void finish(Key key) {
    const auto found = entries.find(key);
    if (found == entries.end()) return;
    auto closed = std::move(found->second.closed);
    entries.erase(found);
    if (closed) closed();
  }

  static void actionInvoked(GDBusConnection*, const char*, const char*, const char*, const char*,
                            GVariant* parameters, gpointer data) {
    auto* self = static_cast<State*>(data);
    guint32 serverId = 0;
    const char* action = nullptr;
    g_variant_get(parameters, "(u&s)", &serverId, &action);
    const auto key = self->keyOf(serverId);
    if (!key || g_strcmp0(action, kDefaultAction) != 0) return;
    // A copy: the owner may close the notification from its callback.
    auto activated = self->entries[*key].activated;
    if (activated) activated();
  }

  static void notificationClosed(GDBusConnection*, const char*, const char*, const char*,
                                 const char*, GVariant* parameters, gpointer data) {
    auto* self = static_cast<State*>(data);
    guint32 serverId = 0;
    guint32 reason = 0;
    g_variant_get(parameters, "(uu)", &serverId, &reason);
    if (const auto key = self->keyOf(serverId)) self->finish(*key);
  }
};

DesktopNotifications::DesktopNotifications(std::string applicationName, std::string desktopEntry)
    : state_(std::make_shared<State>()) {
  state_->applicationName = std::move(applicationName);
  state_->desktopEntry = std::move(desktopEntry);
}

DesktopNotifications::~DesktopNotifications() = default;

DesktopNotifications::Key DesktopNotifications::show(const std::string& title,
                                                     const std::string& body,
                                                     std::function<void()> activated,
                                                     std::function<void()> closed) {
  const Key key = state_->nextKey++;
  auto& entry = state_->entries[key];
  entry.title = title;
  entry.body = body;
  entry.activated = std::move(activated);
  entry.closed = std::move(closed);
  if (state_->bus) {
    state_->send(key, entry);
  } else {
    state_->connect();
  }
  return key;
}

void DesktopNotifications::close(Key key) {
  const auto found = state_->entries.find(key);
  if (found == state_->entries.end()) return;
  auto& entry = found->second;
  entry.closed = nullptr;  // the owner closes it: no need to tell
  if (entry.serverId) {
    state_->closeOnServer(*entry.serverId);
    state_->entries.erase(found);
  } else if (entry.sent) {
    entry.closeWhenKnown = true;
  } else {
    state_->entries.erase(found);
  }
}

}  // namespace zemblo
