#pragma once

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/browser_process.h"
#include "support/child_process.h"

namespace zemblo::testing {

// A D-Bus session of the test's own, built like the test session's, with a Secret Service of its
// own (gnome-keyring, its files in `home`): a browser run on it and the test meet the same keyring,
// and the test can hold the keyring's answers back. Without `loginCollection` the keyring starts
// as on a desktop where nobody ever unlocked it: it has no collection to store into.
class KeyringBus {
 public:
  explicit KeyringBus(const std::filesystem::path& home, bool loginCollection = true)
      : bus_(busCommand(), &busOutput_) {
    std::string address;
    for (char c = 0; read(busOutput_, &c, 1) == 1 && c != '\n';) address += c;
    close(busOutput_);
    address_ = address;
    connection_ = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!connection_) return;
    const auto runtime = home / "keyring-runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::ofstream(home / "keyring-password") << "zemblo-test-keyring";
    keyring_.emplace(std::vector<std::string>{
        "/bin/sh", "-c",
        "exec env DBUS_SESSION_BUS_ADDRESS='" + address + "' XDG_RUNTIME_DIR='" + runtime.string() +
            "' gnome-keyring-daemon --foreground --components=secrets " +
            (loginCollection ? "--unlock <'" + (home / "keyring-password").string() + "'"
                             : std::string("</dev/null")) +
            " >/dev/null 2>&1"});
    within(std::chrono::seconds(10), [&] { return hasOwner("org.freedesktop.secrets"); });
  }
  ~KeyringBus() {
    if (keyring_) keyring_->signal(SIGCONT);
    if (connection_) g_object_unref(connection_);
  }
  KeyringBus(const KeyringBus&) = delete;
  KeyringBus& operator=(const KeyringBus&) = delete;

  bool ready() const { return connection_ && hasOwner("org.freedesktop.secrets"); }
  const std::string& address() const { return address_; }
  GDBusConnection* connection() const { return connection_; }

  // The desktop's prompter, which shows the keyring's questions to the user on the display.
  ChildProcess prompter() const {
    return ChildProcess(
        {"env", "DBUS_SESSION_BUS_ADDRESS=" + address_, "/usr/libexec/gcr-prompter"});
  }

  // The keyring takes messages but answers none until resumed, as a busy keyring does.
  void pause() const { keyring_->signal(SIGSTOP); }
  void resume() const { keyring_->signal(SIGCONT); }

  using Attributes = std::vector<std::pair<std::string, std::string>>;

  // The secret of the item with these attributes, as another program reads it; nullopt when
  // there is none.
  std::optional<std::string> secret(const Attributes& attributes) const {
    const std::string session = openSession();
    GVariant* unlocked = items(attributes);
    if (session.empty() || !unlocked) return std::nullopt;
    std::optional<std::string> result;
    if (g_variant_n_children(unlocked) > 0) {
      result = firstSecretOf(call(kService, "org.freedesktop.Secret.Service", "GetSecrets",
                                  g_variant_new("(@aoo)", unlocked, session.c_str())));
    }
    g_variant_unref(unlocked);
    return result;
  }

  // Stores an item in the default collection, as another program does.
  bool store(const Attributes& attributes, const std::string& data) const {
    const std::string session = openSession();
    if (session.empty()) return false;
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "org.freedesktop.Secret.Item.Label",
                          g_variant_new_string("stored by the test"));
    g_variant_builder_add(&properties, "{sv}", "org.freedesktop.Secret.Item.Attributes",
                          attributesOf(attributes));
    GVariant* secret = g_variant_new(
        "(o@ay@ays)", session.c_str(), g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, "", 0, 1),
        g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, data.data(), data.size(), 1),
        "application/json");
    GVariant* reply =
        call("/org/freedesktop/secrets/aliases/default", "org.freedesktop.Secret.Collection",
             "CreateItem", g_variant_new("(a{sv}@(oayays)b)", &properties, secret, TRUE));
    if (reply) g_variant_unref(reply);
    return reply != nullptr;
  }

  // Deletes the items with these attributes, as another program does.
  void remove(const Attributes& attributes) const {
    GVariant* unlocked = items(attributes);
    if (!unlocked) return;
    GVariantIter iter;
    g_variant_iter_init(&iter, unlocked);
    const char* path = nullptr;
    while (g_variant_iter_next(&iter, "&o", &path)) {
      if (GVariant* reply = call(path, "org.freedesktop.Secret.Item", "Delete", nullptr)) {
        g_variant_unref(reply);
      }
    }
    g_variant_unref(unlocked);
  }

 private:
  static constexpr const char* kService = "/org/freedesktop/secrets";

  static GVariant* attributesOf(const Attributes& attributes) {
    GVariantBuilder wanted;
    g_variant_builder_init(&wanted, G_VARIANT_TYPE("a{ss}"));
    for (const auto& [name, value] : attributes) {
      g_variant_builder_add(&wanted, "{ss}", name.c_str(), value.c_str());
    }
    return g_variant_builder_end(&wanted);
  }

  // A session that carries secrets unencrypted, which a private bus allows.
  std::string openSession() const {
    GVariant* opened = call(kService, "org.freedesktop.Secret.Service", "OpenSession",
                            g_variant_new("(sv)", "plain", g_variant_new_string("")));
    if (!opened) return {};
    const char* session = nullptr;
    GVariant* output = nullptr;
    g_variant_get(opened, "(v&o)", &output, &session);
    const std::string path = session;
    g_variant_unref(output);
    g_variant_unref(opened);
    return path;
  }

  // The unlocked items with these attributes (ao).
  GVariant* items(const Attributes& attributes) const {
    GVariant* found = call(kService, "org.freedesktop.Secret.Service", "SearchItems",
                           g_variant_new("(@a{ss})", attributesOf(attributes)));
    if (!found) return nullptr;
    GVariant* unlocked = g_variant_get_child_value(found, 0);
    g_variant_unref(found);
    return unlocked;
  }

  static std::vector<std::string> busCommand() {
    std::vector<std::string> command{"dbus-daemon", "--nofork", "--print-address=1"};
    const char* config = std::getenv("ZEMBLO_TEST_BUS_CONFIG");
    command.push_back(config ? std::string("--config-file=") + config : "--session");
    return command;
  }

  bool hasOwner(const char* name) const {
    GVariant* reply = callOn("org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", name));
    if (!reply) return false;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned;
  }

  GVariant* call(const char* path, const char* interface, const char* method,
                 GVariant* parameters) const {
    return callOn("org.freedesktop.secrets", path, interface, method, parameters);
  }

  GVariant* callOn(const char* destination, const char* path, const char* interface,
                   const char* method, GVariant* parameters) const {
    GError* error = nullptr;
    GVariant* reply =
        g_dbus_connection_call_sync(connection_, destination, path, interface, method, parameters,
                                    nullptr, G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &error);
    if (error) {
      g_warning("%s: %s", method, error->message);
      g_error_free(error);
    }
    return reply;
  }

  // The value of the first secret of a GetSecrets reply, a{o(oayays)}.
  static std::optional<std::string> firstSecretOf(GVariant* secrets) {
    if (!secrets) return std::nullopt;
    std::optional<std::string> value;
    GVariant* map = g_variant_get_child_value(secrets, 0);
    if (g_variant_n_children(map) > 0) {
      GVariant* entry = g_variant_get_child_value(map, 0);
      GVariant* secret = g_variant_get_child_value(entry, 1);
      GVariant* bytes = g_variant_get_child_value(secret, 2);
      gsize length = 0;
      const auto* data = static_cast<const char*>(g_variant_get_fixed_array(bytes, &length, 1));
      value = std::string(data ? data : "", length);
      g_variant_unref(bytes);
      g_variant_unref(secret);
      g_variant_unref(entry);
    }
    g_variant_unref(map);
    g_variant_unref(secrets);
    return value;
  }

  int busOutput_ = -1;
  ChildProcess bus_;
  std::string address_;
  GDBusConnection* connection_ = nullptr;
  std::optional<ChildProcess> keyring_;
};

}  // namespace zemblo::testing
