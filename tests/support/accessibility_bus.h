#pragma once

#include <gio/gio.h>

namespace zemblo::testing {

// A connection of its own to the accessibility bus of the D-Bus `session`, as assistive
// technologies make it; none when the session has no accessibility bus. The caller owns it.
inline GDBusConnection* connectToAccessibilityBus(GDBusConnection* session) {
  GVariant* reply =
      session ? g_dbus_connection_call_sync(
                    session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
                    G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, nullptr)
              : nullptr;
  if (!reply) return nullptr;
  const char* address = nullptr;
  g_variant_get(reply, "(&s)", &address);
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address,
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  g_variant_unref(reply);
  return bus;
}

}  // namespace zemblo::testing
