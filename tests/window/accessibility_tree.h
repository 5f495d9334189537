#pragma once

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "web/web_harness.h"

// The accessibility tree of this process as a screen reader reads it: over the accessibility
// bus, through the same interface an assistive technology uses.
namespace zemblo::testing {

struct AccessibleNode {
  std::string name;
  std::string role;  // the role's name, e.g. "push button"
  bool showing = false;
  bool focusable = false;
  int depth = 0;
};

class AccessibilityReader {
 public:
  // Reads the tree of every window of this process; the main loop keeps running meanwhile, as
  // the toolkit answers the calls from it. Empty when no accessibility bus is there.
  static std::vector<AccessibleNode> read() {
    std::vector<AccessibleNode> nodes;
    std::atomic<bool> done = false;
    std::thread reader([&] {
      AccessibilityReader self;
      if (self.connect()) self.walkOwnApplication(nodes);
      done = true;
    });
    waitUntil([&] { return done.load(); }, std::chrono::seconds(60));
    reader.join();
    return nodes;
  }

  ~AccessibilityReader() {
    if (bus_) g_object_unref(bus_);
  }

 private:
  static constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
  static constexpr int kStateFocusable = 11;
  static constexpr int kStateShowing = 25;

  bool connect() {
    GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!session) return false;
    GVariant* reply = g_dbus_connection_call_sync(
        session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
        G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    g_object_unref(session);
    if (!reply) return false;
    const char* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    bus_ = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_variant_unref(reply);
    return bus_ != nullptr;
  }

  GVariant* call(const std::string& name, const std::string& path, const char* interface,
                 const char* method, GVariant* arguments, const char* type) {
    return g_dbus_connection_call_sync(bus_, name.c_str(), path.c_str(), interface, method,
                                       arguments, G_VARIANT_TYPE(type), G_DBUS_CALL_FLAGS_NONE,
                                       10000, nullptr, nullptr);
  }

  std::vector<std::pair<std::string, std::string>> children(const std::string& name,
                                                            const std::string& path) {
    std::vector<std::pair<std::string, std::string>> result;
    GVariant* reply = call(name, path, kAccessible, "GetChildren", nullptr, "(a(so))");
    if (!reply) return result;
    GVariantIter* iter = nullptr;
    g_variant_get(reply, "(a(so))", &iter);
    const char *bus = nullptr, *object = nullptr;
    while (g_variant_iter_next(iter, "(&s&o)", &bus, &object)) result.emplace_back(bus, object);
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return result;
  }

  std::optional<unsigned> processOf(const std::string& name) {
    GVariant* reply = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "GetConnectionUnixProcessID", g_variant_new("(s)", name.c_str()), "(u)");
    if (!reply) return std::nullopt;
    unsigned pid = 0;
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
    return pid;
  }

  void walkOwnApplication(std::vector<AccessibleNode>& nodes) {
    for (const auto& [name, path] :
         children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")) {
      if (processOf(name) == unsigned(getpid())) walk(name, path, 0, nodes);
    }
  }

  void walk(const std::string& name, const std::string& path, int depth,
            std::vector<AccessibleNode>& nodes) {
    AccessibleNode node;
    node.depth = depth;
    if (GVariant* reply = call(name, path, "org.freedesktop.DBus.Properties", "Get",
                               g_variant_new("(ss)", kAccessible, "Name"), "(v)")) {
      GVariant* value = nullptr;
      g_variant_get(reply, "(v)", &value);
      node.name = g_variant_get_string(value, nullptr);
      g_variant_unref(value);
      g_variant_unref(reply);
    }
    if (GVariant* reply = call(name, path, kAccessible, "GetRoleName", nullptr, "(s)")) {
      const char* role = nullptr;
      g_variant_get(reply, "(&s)", &role);
      node.role = role;
      g_variant_unref(reply);
    }
    if (GVariant* reply = call(name, path, kAccessible, "GetState", nullptr, "(au)")) {
      GVariantIter* iter = nullptr;
      g_variant_get(reply, "(au)", &iter);
      guint32 word = 0;
      for (int index = 0; g_variant_iter_next(iter, "u", &word); ++index) {
        const auto has = [&](int state) {
          return state / 32 == index && (word >> (state % 32)) & 1;
        };
        node.showing = node.showing || has(kStateShowing);
        node.focusable = node.focusable || has(kStateFocusable);
      }
      g_variant_iter_free(iter);
      g_variant_unref(reply);
    }
    nodes.push_back(node);
    // Pages live in the engine's own processes: their trees are the pages' business.
    for (const auto& [childName, childPath] : children(name, path)) {
      if (childName == name) walk(childName, childPath, depth + 1, nodes);
    }
  }

  GDBusConnection* bus_ = nullptr;
};

}  // namespace zemblo::testing
