#pragma once

#include <gio/gio.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "web/web_harness.h"

// The accessibility tree of this program's windows as a screen reader reads it: over the
// accessibility bus, through the interface assistive technologies use.
namespace zemblo::testing {

struct AccessibleNode {
  std::string name;
  std::string role;  // as the toolkit names it: "button", "text box", "tab", …
  bool focusable = false;
};

class AccessibilityReader {
 public:
  // The toolkit answers from the main loop, which keeps running while a thread asks. Empty when
  // there is no accessibility bus.
  static std::vector<AccessibleNode> read() {
    std::vector<AccessibleNode> nodes;
    std::atomic<bool> done = false;
    std::thread reader([&] {
      AccessibilityReader self;
      if (self.connect()) {
        for (const auto& [name, path] : self.children(kRegistry, kRoot)) {
          if (self.text(name, path, "Name") == g_get_prgname()) self.walk(name, path, nodes);
        }
      }
      done = true;
    });
    waitUntil([&] { return done.load(); }, std::chrono::seconds(60));
    reader.join();
    return nodes;
  }

  ~AccessibilityReader() { g_clear_object(&bus_); }

 private:
  using Object = std::pair<std::string, std::string>;  // bus name, object path
  static constexpr const char* kRegistry = "org.a11y.atspi.Registry";
  static constexpr const char* kRoot = "/org/a11y/atspi/accessible/root";
  static constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
  static constexpr unsigned kFocusableBit = 11;

  bool connect() {
    GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    GVariant* reply = session ? g_dbus_connection_call_sync(
                                    session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                    "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
                                    G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr)
                              : nullptr;
    g_clear_object(&session);
    if (!reply) return false;
    const char* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    bus_ = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_variant_unref(reply);
    return bus_;
  }

  // The first value of a reply, owned by the caller; none when the call failed.
  GVariant* ask(const std::string& name, const std::string& path, const char* interface,
                const char* method, GVariant* arguments, const char* type) {
    GVariant* reply = g_dbus_connection_call_sync(bus_, name.c_str(), path.c_str(), interface,
                                                  method, arguments, G_VARIANT_TYPE(type),
                                                  G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr);
    if (!reply) return nullptr;
    GVariant* value = g_variant_get_child_value(reply, 0);
    g_variant_unref(reply);
    return value;
  }

  std::string text(const std::string& name, const std::string& path, const char* property) {
    GVariant* value = ask(name, path, "org.freedesktop.DBus.Properties", "Get",
                          g_variant_new("(ss)", kAccessible, property), "(v)");
    if (!value) return {};
    GVariant* inner = g_variant_get_variant(value);
    std::string result = g_variant_get_string(inner, nullptr);
    g_variant_unref(inner);
    g_variant_unref(value);
    return result;
  }

  std::vector<Object> children(const std::string& name, const std::string& path) {
    std::vector<Object> result;
    if (GVariant* list = ask(name, path, kAccessible, "GetChildren", nullptr, "(a(so))")) {
      for (gsize i = 0; i < g_variant_n_children(list); ++i) {
        const char *bus = nullptr, *object = nullptr;
        g_variant_get_child(list, i, "(&s&o)", &bus, &object);
        result.emplace_back(bus, object);
      }
      g_variant_unref(list);
    }
    return result;
  }

  void walk(const std::string& name, const std::string& path, std::vector<AccessibleNode>& nodes) {
    AccessibleNode node{text(name, path, "Name")};
    if (GVariant* role = ask(name, path, kAccessible, "GetRoleName", nullptr, "(s)")) {
      node.role = g_variant_get_string(role, nullptr);
      g_variant_unref(role);
    }
    if (GVariant* states = ask(name, path, kAccessible, "GetState", nullptr, "(au)")) {
      guint32 first = 0;
      if (g_variant_n_children(states) > 0) g_variant_get_child(states, 0, "u", &first);
      node.focusable = (first >> kFocusableBit) & 1;
      g_variant_unref(states);
    }
    nodes.push_back(node);
    // A page's tree belongs to the engine's own process and is the page's business.
    for (const auto& [childName, childPath] : children(name, path)) {
      if (childName == name) walk(childName, childPath, nodes);
    }
  }

  GDBusConnection* bus_ = nullptr;
};

}  // namespace zemblo::testing
