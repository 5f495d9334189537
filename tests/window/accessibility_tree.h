#pragma once

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/accessibility_bus.h"
#include "support/logged_criticals.h"

// The accessibility tree of this program's windows as a screen reader reads it: over the
// accessibility bus, through the interface assistive technologies use.
namespace zemblo::testing {

struct AccessibleNode {
  std::string name;
  std::string role;  // as the toolkit names it: "button", "text box", "tab", …
  bool focusable = false;
  // What the toolkit reports of a control that does nothing when used.
  bool enabled = true;
  bool topLevel = false;  // a window of the application
  bool showing = false;
  bool active = false;  // a window with the keyboard focus
};

class AccessibilityReader {
 public:
  // The toolkit answers from the main loop, which keeps running while a thread asks. Empty when
  // there is no accessibility bus. With a title, only the windows of that title.
  static std::vector<AccessibleNode> read(const std::string& windowTitle = {}) {
    std::vector<AccessibleNode> nodes;
    std::atomic<bool> done = false;
    std::thread reader([&] {
      AccessibilityReader self;
      if (self.connect()) {
        std::vector<Object> windows;
        const std::vector<Object> applications = self.children({{kRegistry, kRoot}})[0];
        for (const Object& application : applications) {
          if (!self.isThisProcess(application.first)) continue;
          const std::vector<Object> shown = self.children({application})[0];
          const std::vector<std::string> titles = self.texts(shown, "Name");
          for (size_t i = 0; i < shown.size(); ++i) {
            if (windowTitle.empty() || titles[i] == windowTitle) windows.push_back(shown[i]);
          }
        }
        self.walk(windows, nodes);
      }
      done = true;
      g_main_context_wakeup(nullptr);
    });
    while (!done) g_main_context_iteration(nullptr, TRUE);
    reader.join();
    return nodes;
  }

  ~AccessibilityReader() {
    g_clear_object(&bus_);
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }

 private:
  using Object = std::pair<std::string, std::string>;  // bus name, object path
  struct Call {
    Object object;
    const char* interface;
    const char* method;
    GVariant* arguments;
    const char* type;
  };
  static constexpr const char* kRegistry = "org.a11y.atspi.Registry";
  static constexpr const char* kRoot = "/org/a11y/atspi/accessible/root";
  static constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
  static constexpr unsigned kActiveBit = 1;
  static constexpr unsigned kFocusableBit = 11;
  static constexpr unsigned kShowingBit = 25;
  static constexpr unsigned kSensitiveBit = 24;

  AccessibilityReader() { g_main_context_push_thread_default(context_); }

  bool connect() {
    GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    bus_ = connectToAccessibilityBus(session);
    g_clear_object(&session);
    return bus_;
  }

  bool isThisProcess(const std::string& busName) {
    GVariant* pid = ask({{{"org.freedesktop.DBus", "/org/freedesktop/DBus"},
                          "org.freedesktop.DBus",
                          "GetConnectionUnixProcessID",
                          g_variant_new("(s)", busName.c_str()),
                          "(u)"}})[0];
    if (!pid) return false;
    const bool ours = g_variant_get_uint32(pid) == guint32(getpid());
    g_variant_unref(pid);
    return ours;
  }

  // The first value of each reply, owned by the caller; none where a call failed. The calls go
  // out together, so the toolkit answers them in a few turns of its loop instead of one each.
  std::vector<GVariant*> ask(const std::vector<Call>& calls) {
    struct Reply {
      GVariant* value = nullptr;
      size_t* left = nullptr;
    };
    size_t left = calls.size();
    std::vector<Reply> replies(calls.size(), Reply{nullptr, &left});
    for (size_t i = 0; i < calls.size(); ++i) {
      const Call& call = calls[i];
      g_dbus_connection_call(
          bus_, call.object.first.c_str(), call.object.second.c_str(), call.interface, call.method,
          call.arguments, G_VARIANT_TYPE(call.type), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr,
          +[](GObject* bus, GAsyncResult* result, gpointer data) {
            auto* reply = static_cast<Reply*>(data);
            if (GVariant* tuple =
                    g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr)) {
              reply->value = g_variant_get_child_value(tuple, 0);
              g_variant_unref(tuple);
            }
            --*reply->left;
          },
          &replies[i]);
    }
    while (left > 0) g_main_context_iteration(context_, TRUE);
    std::vector<GVariant*> values;
    for (const Reply& reply : replies) values.push_back(reply.value);
    return values;
  }

  std::vector<std::string> texts(const std::vector<Object>& objects, const char* property) {
    std::vector<Call> calls;
    for (const Object& object : objects) {
      calls.push_back({object, "org.freedesktop.DBus.Properties", "Get",
                       g_variant_new("(ss)", kAccessible, property), "(v)"});
    }
    std::vector<std::string> result;
    for (GVariant* value : ask(calls)) {
      result.emplace_back();
      if (!value) continue;
      GVariant* inner = g_variant_get_variant(value);
      result.back() = g_variant_get_string(inner, nullptr);
      g_variant_unref(inner);
      g_variant_unref(value);
    }
    return result;
  }

  std::vector<std::vector<Object>> children(const std::vector<Object>& objects) {
    std::vector<Call> calls;
    for (const Object& object : objects) {
      calls.push_back({object, kAccessible, "GetChildren", nullptr, "(a(so))"});
    }
    std::vector<std::vector<Object>> result;
    for (GVariant* list : ask(calls)) {
      result.emplace_back();
      if (!list) continue;
      for (gsize i = 0; i < g_variant_n_children(list); ++i) {
        const char *bus = nullptr, *object = nullptr;
        g_variant_get_child(list, i, "(&s&o)", &bus, &object);
        result.back().emplace_back(bus, object);
      }
      g_variant_unref(list);
    }
    return result;
  }

  // Level by level, each level's questions asked together.
  void walk(std::vector<Object> level, std::vector<AccessibleNode>& nodes) {
    for (bool topLevel = true; !level.empty(); topLevel = false) {
      const std::vector<std::string> names = texts(level, "Name");
      std::vector<Call> calls;
      for (const Object& object : level) {
        calls.push_back({object, kAccessible, "GetRoleName", nullptr, "(s)"});
        calls.push_back({object, kAccessible, "GetState", nullptr, "(au)"});
      }
      const std::vector<GVariant*> replies = ask(calls);
      const auto below = children(level);
      std::vector<Object> next;
      for (size_t i = 0; i < level.size(); ++i) {
        AccessibleNode node{names[i]};
        node.topLevel = topLevel;
        if (GVariant* role = replies[2 * i]) {
          node.role = g_variant_get_string(role, nullptr);
          g_variant_unref(role);
        }
        if (GVariant* states = replies[2 * i + 1]) {
          guint32 first = 0;
          if (g_variant_n_children(states) > 0) g_variant_get_child(states, 0, "u", &first);
          node.focusable = (first >> kFocusableBit) & 1;
          node.enabled = (first >> kSensitiveBit) & 1;
          node.showing = (first >> kShowingBit) & 1;
          node.active = (first >> kActiveBit) & 1;
          g_variant_unref(states);
        }
        nodes.push_back(node);
        // A page's tree belongs to the engine's own process and is the page's business.
        for (const Object& child : below[i]) {
          if (child.first == level[i].first) next.push_back(child);
        }
      }
      level = std::move(next);
    }
  }

  GMainContext* context_ = g_main_context_new();
  GDBusConnection* bus_ = nullptr;
};

// The names the toolkit falls back on for a control without a name of its own (its widget's name
// or type), and the controls drawn disabled, by themselves or by a row around them, that it
// reports usable; and the panels and menus it would read by their type.
inline void checkWidgets(GtkWidget* widget, std::set<std::string>& widgetNames,
                         std::vector<std::string>& faults) {
  widgetNames.insert({gtk_widget_get_name(widget), G_OBJECT_TYPE_NAME(widget)});
  // A panel without a title and a menu without a name, which screen readers meet through the
  // control they are on, are read by their type.
  const bool unnamedMenu =
      GTK_IS_POPOVER_MENU(widget) &&
      !gtk_test_accessible_has_property(GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL);
  if (unnamedMenu) faults.push_back("unnamed GtkPopoverMenu");
  if (GTK_IS_STACK(widget)) {
    GListModel* pages = G_LIST_MODEL(gtk_stack_get_pages(GTK_STACK(widget)));
    for (guint i = 0; i < g_list_model_get_n_items(pages); ++i) {
      auto* page = static_cast<GtkStackPage*>(g_list_model_get_item(pages, i));
      if (!gtk_stack_page_get_title(page)) faults.push_back("untitled GtkStackPage");
      g_object_unref(page);
    }
    g_object_unref(pages);
  }
  const bool control = gtk_widget_get_focusable(widget) || GTK_IS_BUTTON(widget) ||
                       GTK_IS_SWITCH(widget) || GTK_IS_RANGE(widget) || GTK_IS_EDITABLE(widget);
  if (control && gtk_widget_get_visible(widget) && !gtk_widget_is_sensitive(widget)) {
    char* mismatch = gtk_test_accessible_check_state(GTK_ACCESSIBLE(widget),
                                                     GTK_ACCESSIBLE_STATE_DISABLED, TRUE);
    if (mismatch) faults.push_back(G_OBJECT_TYPE_NAME(widget));
    g_free(mismatch);
  }
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    checkWidgets(child, widgetNames, faults);
  }
}

struct Control {
  int count = 0;
  bool enabled = true;  // every control of that role and name
};
using Controls = std::map<std::pair<std::string, std::string>, Control>;

// Reads the program's windows (or those of that title) as a screen reader does, expects every
// control, and whatever else takes the focus, announced by a name a person would use (not none,
// not a widget's name or type, not a text said twice as in "Delete Delete"), no node at all
// announced by a toolkit type name (decoration that should be hidden, or an image without its
// name), every control drawn disabled reported so, and no critical logged on the way; gathers the
// controls by role and name.
inline Controls readControls(const std::string& windowTitle = {}) {
  std::set<std::string> widgetNames;
  std::vector<std::string> faults;
  GListModel* toplevels = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (gtk_widget_get_visible(window)) checkWidgets(window, widgetNames, faults);
    g_object_unref(window);
  }
  EXPECT_EQ(faults, std::vector<std::string>{});
  EXPECT_EQ(loggedCriticals(), std::vector<std::string>{});
  static const std::set<std::string> controlRoles = {
      "button", "toggle button", "checkbox",  "radio", "switch", "text box", "search box",
      "slider", "spin button",   "combo box", "link",  "tab",    "menu item"};
  const auto nodes = AccessibilityReader::read(windowTitle);
  EXPECT_FALSE(nodes.empty()) << "no accessibility bus";
  Controls controls;
  for (const AccessibleNode& node : nodes) {
    // GTK's own tooltip window, shown when the display's pointer happens to rest over a control
    // with a tooltip, is named by its type; the tooltip's text is its label's.
    if (node.name == "GtkTooltipWindow") continue;
    for (const char* prefix : {"Gtk", "gtkmm__", "Adw", "WebKit"}) {
      EXPECT_FALSE(node.name.starts_with(prefix)) << node.role << " named " << node.name;
    }
    if (!controlRoles.contains(node.role) && !node.focusable) continue;
    const size_t half = node.name.size() / 2;
    const bool doubled = node.name.size() % 2 == 1 && node.name[half] == ' ' &&
                         node.name.compare(0, half, node.name, half + 1) == 0;
    EXPECT_FALSE(node.name.empty() || widgetNames.contains(node.name) || doubled)
        << node.role << " '" << node.name << "' has no proper name";
    Control& control = controls[{node.role, node.name}];
    ++control.count;
    control.enabled = control.enabled && node.enabled;
  }
  return controls;
}

}  // namespace zemblo::testing
