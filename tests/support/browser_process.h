#pragma once

#include <gtest/gtest.h>

#include <gio/gio.h>
#include <glib.h>
#include <sys/wait.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/private_bus.h"

namespace zemblo::testing {

// The child process of `parent` running the program `name`, once it has started.
inline std::optional<GPid> childNamed(GPid parent, const std::string& name) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    GPid parentOfEntry = 0;
    if (stat >> pid >> comm >> state >> parentOfEntry && parentOfEntry == parent &&
        comm == "(" + name + ")") {
      return std::stoi(pid);
    }
  }
  return std::nullopt;
}

// Polls `done` every tenth of a second for at most `limit`: the limit only ends a wait for an
// event that never came.
inline bool within(std::chrono::milliseconds limit, const std::function<bool()>& done) {
  for (auto waited = std::chrono::milliseconds(0); waited < limit;
       waited += std::chrono::milliseconds(100)) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return done();
}

// The words quoted for the shell, each after a space.
inline std::string quotedWords(const std::vector<std::string>& words) {
  std::string line;
  for (const auto& word : words) {
    gchar* quoted = g_shell_quote(word.c_str());
    line += std::string(" ") + quoted;
    g_free(quoted);
  }
  return line;
}

// `command` followed by `program` with its `arguments`, run through the shell with its error
// output sent to `log`; the program first writes its D-Bus session's address into `bus` when one
// is given.
inline std::vector<std::string> withErrorsIn(const std::filesystem::path& log,
                                             const std::vector<std::string>& command,
                                             const std::string& program,
                                             const std::vector<std::string>& arguments = {},
                                             const std::filesystem::path& bus = {}) {
  std::string started;
  if (!bus.empty()) {
    started = "printf %s \"$DBUS_SESSION_BUS_ADDRESS\" >" + quotedWords({bus}) + " && ";
  }
  started += "exec" + quotedWords({program}) + quotedWords(arguments);
  return {"/bin/sh", "-c",
          "exec" + quotedWords(command) + " /bin/sh -c" + quotedWords({started}) + " 2>" +
              quotedWords({log})};
}

// The command that runs a program on a D-Bus session of its own whose desktop portal never comes
// up, as on a second login session that shares the first one's runtime folder: a call to the
// portal waits for its whole timeout. Its files are made in `folder`.
inline std::vector<std::string> onBusWithoutPortal(const std::filesystem::path& folder) {
  const char* config = std::getenv("ZEMBLO_TEST_BUS_CONFIG");
  if (!config) return {};
  const auto services = folder / "hung-services";
  std::filesystem::create_directories(services);
  std::ofstream(services / "org.freedesktop.portal.Desktop.service")
      << "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=/bin/sleep 60\n";
  std::ifstream in(config);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  text.insert(text.rfind("</busconfig>"), "<servicedir>" + services.string() + "</servicedir>\n");
  const auto hung = folder / "hung-bus.conf";
  std::ofstream(hung) << text;
  // The test session keeps its browsers off the portal; a desktop does not.
  return {"env", "-u", "ADW_DISABLE_PORTAL", "dbus-run-session", "--config-file=" + hung.string(),
          "--"};
}

// Calls `method` of the browser's object at `path` (its application's, else one of its windows')
// on the D-Bus session at `address` with `parameters` (taken), as another program or the toolkit's
// second start does; a failure fails the test.
inline bool callBrowserOverBus(const std::string& address, const char* interface,
                               const char* method, GVariant* parameters,
                               const std::string& path = "/com/pellobar/browser") {
  GError* error = nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (!bus) {
    g_variant_unref(g_variant_ref_sink(parameters));
    ADD_FAILURE() << error->message;
    g_error_free(error);
    return false;
  }
  GVariant* reply = g_dbus_connection_call_sync(bus, "com.pellobar.browser", path.c_str(),
                                                interface, method, parameters, nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, 20000, nullptr, &error);
  g_object_unref(bus);
  if (!reply) {
    ADD_FAILURE() << error->message;
    g_error_free(error);
    return false;
  }
  g_variant_unref(reply);
  return true;
}

// The real executable, run as the user runs it with `arguments`, for the home the test set up: on
// a D-Bus session of its own (so that no other browser of the test session takes its activation),
// with its error output kept in `log`. The browser, its bus and whatever they started are killed
// when the object goes, so that a browser that hangs never outlives its test.
class BrowserProcess {
 public:
  // `bus` is the command that runs it on its D-Bus session.
  explicit BrowserProcess(const std::filesystem::path& log,
                          const std::vector<std::string>& arguments = {},
                          const std::vector<std::string>& bus = onPrivateBus())
      : log_(log),
        busFile_(log.string() + ".bus"),
        session_(withErrorsIn(log, bus, ZEMBLO_BROWSER_EXECUTABLE, arguments, busFile_)) {
    if (!session_.started()) {
      ADD_FAILURE() << "could not start the browser";
      return;
    }
    within(std::chrono::seconds(10), [&] {
      browser_ = childNamed(session_.pid(), "zemblo-browser");
      return browser_.has_value();
    });
  }
  // On a D-Bus session that the test set up and keeps; a type of its own, so that it is never
  // taken for the addresses a browser is started with.
  struct OnBus {
    std::string address;
  };
  BrowserProcess(const std::filesystem::path& log, const OnBus& bus)
      : log_(log),
        session_(withErrorsIn(log, {"env", "DBUS_SESSION_BUS_ADDRESS=" + bus.address},
                              ZEMBLO_BROWSER_EXECUTABLE)) {
    if (!session_.started()) ADD_FAILURE() << "could not start the browser";
    if (session_.started()) browser_ = session_.pid();
  }

  std::optional<GPid> pid() const { return browser_; }
  // The address of the browser's D-Bus session, once it has started.
  std::string busAddress() const {
    std::ifstream in(busFile_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The command that starts the browser again on this one's bus, from `folder`, with `arguments`,
  // its error output sent to `log`: what the desktop runs for a link in another program.
  std::vector<std::string> anotherStart(const std::filesystem::path& folder,
                                        const std::vector<std::string>& arguments,
                                        const std::filesystem::path& log) const {
    return {"/bin/sh", "-c",
            "cd" + quotedWords({folder}) +
                " && DBUS_SESSION_BUS_ADDRESS=" + quotedWords({busAddress()}).substr(1) + " exec" +
                quotedWords({ZEMBLO_BROWSER_EXECUTABLE}) + quotedWords(arguments) + " 2>" +
                quotedWords({log})};
  }
  // What the browser logged so far.
  std::string log() const {
    std::ifstream in(log_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The X id of the browser's visible window named `name` (a regular expression), once it has
  // one. A search stops with an error when any window of the display goes away while it reads them
  // (a page's dialogs come and go), so a search that failed is made again.
  std::optional<std::string> windowNamed(const std::string& name) const {
    if (!browser_) return std::nullopt;
    const std::string command = "timeout 30 xdotool search --all --sync --onlyvisible --pid " +
                                std::to_string(*browser_) + " --name '" + name + "' 2>/dev/null";
    for (int attempt = 0; attempt < 3; ++attempt) {
      FILE* output = popen(command.c_str(), "r");
      if (!output) return std::nullopt;
      char line[32] = {};
      const bool read = fgets(line, sizeof line, output) != nullptr;
      pclose(output);
      if (read && std::isdigit(static_cast<unsigned char>(line[0]))) {
        return std::to_string(std::stoul(line));
      }
    }
    return std::nullopt;
  }
  // Runs xdotool `commands` on the browser's visible window named `name`, which they call "%1":
  // for example "windowfocus --sync %1 key ctrl+Tab". False when there is none or xdotool failed.
  bool onWindow(const std::string& name, std::string commands) const {
    const auto id = windowNamed(name);
    if (!id) return false;
    for (auto at = commands.find("%1"); at != std::string::npos; at = commands.find("%1", at)) {
      commands.replace(at, 2, *id);
    }
    if (commands.empty()) return true;
    return std::system(("timeout 30 xdotool " + commands + " >/dev/null 2>&1").c_str()) == 0;
  }
  bool waitForWindow() const { return onWindow("^Zemblo$", ""); }
  // How many windows of the browser are shown; with `name`, of those it matches (a regular
  // expression). A tooltip over a page is a window of the browser too.
  int shownWindows(const std::string& name = "") const {
    if (!browser_) return 0;
    const std::string named = name.empty() ? "" : " --all --name '" + name + "'";
    const std::string command = "xdotool search --onlyvisible --pid " + std::to_string(*browser_) +
                                named + " 2>/dev/null | wc -l";
    FILE* output = popen(command.c_str(), "r");
    int count = 0;
    if (output) {
      if (fscanf(output, "%d", &count) != 1) count = 0;
      pclose(output);
    }
    return count;
  }

  // How many of the engine's web processes run below the browser.
  int webProcesses() const {
    if (!browser_) return 0;
    std::vector<GPid> tree{*browser_};
    int count = 0;
    for (size_t at = 0; at < tree.size(); ++at) {
      for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, comm, state;
        GPid parent = 0;
        if (!(stat >> pid >> comm >> state >> parent) || parent != tree[at]) continue;
        tree.push_back(std::stoi(pid));
        if (comm == "(WebKitWebProces)") ++count;
      }
    }
    return count;
  }

  void signal(int number) const {
    if (browser_) kill(*browser_, number);
  }
  // The browser's exit status once it has ended, waiting at most `limit`; nullopt when it is
  // still running then, and it is killed.
  std::optional<int> exitStatus(std::chrono::milliseconds limit) {
    return session_.waitForExit(limit);
  }

 private:
  std::filesystem::path log_;
  std::filesystem::path busFile_;
  ChildProcess session_;
  std::optional<GPid> browser_;
};

}  // namespace zemblo::testing
