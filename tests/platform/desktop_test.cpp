#include "platform/desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/heap.h"
#include "support/temp_home.h"
#include "support/wait.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

// The desktop's default application for every type involved only records what it was given.
TEST(Desktop, OpeningHandsDocumentsToTheirApplicationAndNeverRunsPrograms) {
  for (const char* type : {"application/x-ms-dos-executable", "application/vnd.appimage"}) {
    EXPECT_TRUE(desktop::runsAsProgram(type)) << type;
  }
  EXPECT_FALSE(desktop::runsAsProgram("application/pdf") || desktop::runsAsProgram("text/plain"));

  testing::TempHome home;
  const fs::path record = home.root() / "record", recorder = home.root() / "recorder.sh";
  const fs::path heapSettings = home.root() / "heap-settings";
  home.writeFile(recorder, "#!/bin/sh\nprintf '%s' \"${GLIBC_TUNABLES-none}\" > '" +
                               heapSettings.string() + "'\nprintf '%s\\n' \"$1\" >> '" +
                               record.string() + "'\n");
  fs::permissions(recorder, fs::perms::owner_all);
  home.writeFile(home.root() / "data" / "applications" / "zemblo-recorder.desktop",
                 "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder.string() +
                     " %f\nMimeType=text/plain;application/x-shellscript;inode/directory;\n");
  home.writeFile(home.root() / "config" / "mimeapps.list",
                 "[Default Applications]\ntext/plain=zemblo-recorder.desktop\n"
                 "application/x-shellscript=zemblo-recorder.desktop\n"
                 "inode/directory=zemblo-recorder.desktop\n");
  // No file manager on the bus: revealing falls back to opening the folder.
  const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::string savedBus = bus ? bus : "";
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zemblo-test-bus", 1);

  const fs::path downloads = home.root() / "Downloads";
  const fs::path notes = downloads / "notes.txt", script = downloads / "install.sh";
  const fs::path ran = home.root() / "script-ran";
  home.writeFile(notes, "plain text\n");
  home.writeFile(script, "#!/bin/sh\ntouch '" + ran.string() + "'\n");
  fs::permissions(script, fs::perms::owner_all);
  const auto recorded = [&](const std::string& expected) {
    return testing::waitUntil([&] { return home.readFile(record) == expected; });
  };
  desktop::openFile(notes);
  EXPECT_TRUE(recorded(notes.string() + "\n")) << home.readFile(record);
  // The application runs with the heap the user's environment gives, not the engine's settings.
  EXPECT_EQ(home.readFile(heapSettings), heap::usersSettings().value_or("none"));
  // The script is shown in its folder, never handed to anything that could run it.
  desktop::openFile(script);
  EXPECT_TRUE(recorded(notes.string() + "\n" + downloads.string() + "\n")) << home.readFile(record);
  EXPECT_FALSE(fs::exists(ran));
  if (savedBus.empty()) {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
  } else {
    setenv("DBUS_SESSION_BUS_ADDRESS", savedBus.c_str(), 1);
  }
}

}  // namespace
}  // namespace zemblo
