#pragma once

#include <gio/gio.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/app_preferences.h"
#include "platform/user_defaults.h"
#include "support/accessibility_bus.h"

namespace zemblo::testing {

// Makes the browser of the home at `configDir` start in Turkish, whatever the system's language:
// its controls are then named as the code names them.
inline void startInTurkish(const std::filesystem::path& configDir) {
  UserDefaults defaults(configDir / "user-defaults.json");
  AppPreferences prefs;
  prefs.language = AppLanguage::turkish;
  prefs.save(defaults);
  defaults.flush();
}

// The controls of the applications on a D-Bus session, as assistive technologies see them
// (AT-SPI): a test finds a control of another process by its accessible name and presses it.
class AccessibleControls {
 public:
  explicit AccessibleControls(GDBusConnection* session)
      : bus_(connectToAccessibilityBus(session)) {}
  ~AccessibleControls() {
    if (bus_) g_object_unref(bus_);
  }
  AccessibleControls(const AccessibleControls&) = delete;
  AccessibleControls& operator=(const AccessibleControls&) = delete;

  // Whether there is a control named as for press().
  bool has(const std::vector<std::string>& names, const std::string& description = {}) const {
    return located(names, description).has_value();
  }

  // Presses the control named `names.back()` (and described by `description` when one is given),
  // found inside the one named by each name before it, the first in document order, in any
  // application. False when there is none.
  bool press(const std::vector<std::string>& names, const std::string& description = {}) const {
    const auto control = located(names, description);
    return control && action(*control);
  }

  // Whether the control named as for press() is there and can be used now.
  bool isEnabled(const std::vector<std::string>& names) const {
    const auto control = located(names, {});
    GVariant* reply =
        control ? call(*control, "org.a11y.atspi.Accessible", "GetState", nullptr) : nullptr;
    if (!reply) return false;
    GVariant* states = g_variant_get_child_value(reply, 0);
    gsize count = 0;
    const auto* words =
        static_cast<const guint32*>(g_variant_get_fixed_array(states, &count, sizeof(guint32)));
    constexpr guint32 kSensitive = 1u << 24;  // the "sensitive" state, in the first word
    const bool enabled = count > 0 && (words[0] & kSensitive) != 0;
    g_variant_unref(states);
    g_variant_unref(reply);
    return enabled;
  }

  // The middle of the control named as for press(), in its window's coordinates: where a real
  // click goes for controls that take no action.
  std::optional<std::pair<int, int>> middle(const std::vector<std::string>& names) const {
    const auto control = located(names, {});
    constexpr guint32 kWindowCoordinates = 1;
    GVariant* reply = control ? call(*control, "org.a11y.atspi.Component", "GetExtents",
                                     g_variant_new("(u)", kWindowCoordinates))
                              : nullptr;
    if (!reply) return std::nullopt;
    gint32 x = 0, y = 0, width = 0, height = 0;
    g_variant_get(reply, "((iiii))", &x, &y, &width, &height);
    g_variant_unref(reply);
    if (width <= 0 || height <= 0) return std::nullopt;
    return std::make_pair(x + width / 2, y + height / 2);
  }

 private:
  using Node = std::pair<std::string, std::string>;  // bus name, object path
  static constexpr const char* kRoot = "/org/a11y/atspi/accessible/root";

  std::optional<Node> located(const std::vector<std::string>& names,
                              const std::string& description) const {
    for (const auto& application : children({"org.a11y.atspi.Registry", kRoot})) {
      std::optional<Node> at = application;
      for (size_t i = 0; i < names.size() && at; ++i) {
        at = find(*at, names[i], i + 1 == names.size() ? description : "", 0);
      }
      if (at) return at;
    }
    return std::nullopt;
  }

  GVariant* call(const Node& node, const char* interface, const char* method,
                 GVariant* parameters) const {
    if (!bus_) return nullptr;
    return g_dbus_connection_call_sync(bus_, node.first.c_str(), node.second.c_str(), interface,
                                       method, parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, 5000,
                                       nullptr, nullptr);
  }

  std::vector<Node> children(const Node& node) const {
    std::vector<Node> found;
    GVariant* reply = call(node, "org.a11y.atspi.Accessible", "GetChildren", nullptr);
    if (!reply) return found;
    GVariantIter* iter = nullptr;
    g_variant_get(reply, "(a(so))", &iter);
    const char* name = nullptr;
    const char* path = nullptr;
    while (g_variant_iter_next(iter, "(&s&o)", &name, &path)) found.emplace_back(name, path);
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return found;
  }

  std::string text(const Node& node, const char* property) const {
    GVariant* reply = call(node, "org.freedesktop.DBus.Properties", "Get",
                           g_variant_new("(ss)", "org.a11y.atspi.Accessible", property));
    if (!reply) return {};
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    std::string name = g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
                           ? g_variant_get_string(value, nullptr)
                           : "";
    g_variant_unref(value);
    g_variant_unref(reply);
    return name;
  }

  // The first node below `node` (itself excluded) named `name`, staying in the same process.
  std::optional<Node> find(const Node& node, const std::string& name,
                           const std::string& description, int depth) const {
    if (depth > 60) return std::nullopt;
    for (const auto& child : children(node)) {
      if (child.first != node.first) continue;  // a page's own tree, in its web process
      if (text(child, "Name") == name &&
          (description.empty() || text(child, "Description") == description)) {
        return child;
      }
      if (auto found = find(child, name, description, depth + 1)) return found;
    }
    return std::nullopt;
  }

  bool action(const Node& node) const {
    GVariant* reply = call(node, "org.a11y.atspi.Action", "DoAction", g_variant_new("(i)", 0));
    if (!reply) return false;
    gboolean done = FALSE;
    g_variant_get(reply, "(b)", &done);
    g_variant_unref(reply);
    return done;
  }

  GDBusConnection* bus_ = nullptr;
};

}  // namespace zemblo::testing
