#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <glib.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include "platform/paths.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

// Signals reach the main context through GLib's worker thread, so give them a moment.
void iterateUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
}

TEST(Process, TerminationSignalsQuitThroughTheMainLoop) {
  int quits = 0;
  process::handleTerminationSignals([&] { ++quits; });
  raise(SIGTERM);
  EXPECT_EQ(quits, 0);  // never inside the signal handler itself
  iterateUntil([&] { return quits == 1; });
  EXPECT_EQ(quits, 1);
  raise(SIGINT);
  iterateUntil([&] { return quits == 2; });
  EXPECT_EQ(quits, 2);
}

TEST(Process, AppleLanguagesSetsTheProcessLanguage) {
  testing::TempHome home;
  const char* before = std::getenv("LANGUAGE");
  const std::string saved = before ? before : "";
  UserDefaults defaults(home.root() / "defaults.json");

  setenv("LANGUAGE", "de", 1);
  process::applyPreferredLanguages(defaults);
  EXPECT_STREQ(std::getenv("LANGUAGE"), "de");  // no key: untouched

  defaults.setStringArray("AppleLanguages", {"tr"});
  process::applyPreferredLanguages(defaults);
  EXPECT_STREQ(std::getenv("LANGUAGE"), "tr");

  defaults.setStringArray("AppleLanguages", {"en", "tr"});  // not one element: ignored
  process::applyPreferredLanguages(defaults);
  EXPECT_STREQ(std::getenv("LANGUAGE"), "tr");

  if (saved.empty())
    unsetenv("LANGUAGE");
  else
    setenv("LANGUAGE", saved.c_str(), 1);
}

TEST(Paths, FoldersFollowTheXdgVariablesAndAreCreated) {
  testing::TempHome home;
  EXPECT_EQ(paths::appSupportDirectory(), home.root() / "data" / "Zemblo Browser");
  EXPECT_TRUE(std::filesystem::is_directory(home.dataDir()));
  EXPECT_EQ(paths::configDirectory(), home.configDir());
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(paths::appSupportDirectory(), home.root() / ".local/share/Zemblo Browser");
}

TEST(Paths, AtomicWritesReplaceWholeFiles) {
  testing::TempHome home;
  const auto file = paths::appSupportDirectory() / "session.json";
  EXPECT_TRUE(paths::writeFileAtomically(file, "first, longer content"));
  EXPECT_TRUE(paths::writeFileAtomically(file, "second"));
  EXPECT_EQ(paths::readFile(file), "second");
  EXPECT_FALSE(paths::writeFileAtomically(home.root() / "missing" / "dir" / "f", "x"));
  EXPECT_FALSE(paths::readFile(home.root() / "nothing").has_value());
}

TEST(Paths, OnlyRegularFilesOfBoundedSizeAreReadAndOthersAreSetAside) {
  testing::TempHome home;
  using State = paths::FileContents::State;
  const auto folder = home.root();
  EXPECT_EQ(paths::readRegularFile(folder / "none").state, State::missing);
  std::filesystem::create_directories(folder / "dir");
  EXPECT_EQ(paths::readRegularFile(folder / "dir").state, State::unreadable);
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(paths::readRegularFile(folder / "fifo").state, State::unreadable);  // never blocks
  home.writeFile(folder / "big", std::string(100, 'x'));
  EXPECT_EQ(paths::readRegularFile(folder / "big", 99).state, State::unreadable);
  EXPECT_EQ(paths::readRegularFile(folder / "big", 100).bytes.size(), 100u);

  // Set aside under ".bad", or the next free number when something of another kind is there.
  home.writeFile(folder / "dir.bad" / "kept", "older");
  EXPECT_EQ(paths::setAside(folder / "dir"), std::filesystem::path(folder / "dir.bad.1"));
  EXPECT_EQ(home.readFile(folder / "dir.bad" / "kept"), "older");
  EXPECT_EQ(paths::setAside(folder / "none"), std::nullopt);
}

}  // namespace
}  // namespace zemblo
