#include "platform/paths.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

TEST(Paths, DownloadsGoToTheXdgFolderButNeverIntoHomeItself) {
  testing::TempHome home;
  const fs::path dirs = home.root() / "config" / "user-dirs.dirs";
  EXPECT_EQ(paths::downloadsDirectory(), home.root() / "Downloads");  // nothing configured
  EXPECT_TRUE(fs::is_directory(home.root() / "Downloads"));
  const std::pair<std::string, fs::path> cases[] = {
      {"$HOME/İndirilenler", home.root() / "İndirilenler"},
      {(home.root() / "elsewhere").string(), home.root() / "elsewhere"},
      {"$HOME/", home.root() / "Downloads"},  // a disabled folder points at home itself
      {home.root().string(), home.root() / "Downloads"},
  };
  for (const auto& [value, expected] : cases) {
    home.writeFile(dirs, "# xdg-user-dirs\nXDG_DOWNLOAD_DIR=\"" + value + "\"\n");
    EXPECT_EQ(paths::downloadsDirectory(), expected) << value;
  }
}

TEST(Paths, MovesAndNewFilesNeverReplaceAFile) {
  testing::TempHome home;
  const fs::path from = home.root() / "a.part", to = home.root() / "a";
  home.writeFile(from, "new");
  home.writeFile(to, "old");
  EXPECT_EQ(paths::moveWithoutReplacing(from, to), paths::MoveResult::destinationTaken);
  EXPECT_FALSE(paths::createNewFile(to));
  EXPECT_EQ(home.readFile(to) + home.readFile(from), "oldnew");
  fs::remove(to);
  EXPECT_EQ(paths::moveWithoutReplacing(from, to), paths::MoveResult::moved);
  EXPECT_EQ(home.readFile(to), "new");
  EXPECT_FALSE(fs::exists(from));
}

// A temporary from an earlier run goes; one this process made, even before its first look, may
// be a write still in flight and stays.
TEST(Paths, OnlyTemporariesOfAnEarlierRunAreRemoved) {
  testing::TempHome home;
  const fs::path file = home.root() / "session.json";
  const fs::path earlier = home.root() / ".session.json.zemblo-save-AbC123";
  const fs::path ours = home.root() / ".session.json.zemblo-save-XyZ789";
  home.writeFile(earlier, "half");
  home.writeFile(ours, "in flight");
  fs::last_write_time(earlier, fs::file_time_type::clock::now() - std::chrono::hours(1));
  fs::last_write_time(ours, fs::file_time_type::clock::now());
  paths::removeLeftoverTemporaries(file);
  EXPECT_FALSE(fs::exists(earlier));
  EXPECT_EQ(home.readFile(ours), "in flight");
}

}  // namespace
}  // namespace zemblo
