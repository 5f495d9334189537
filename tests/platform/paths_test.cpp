#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

TEST(Paths, DownloadsGoToTheXdgFolderButNeverIntoHomeItself) {
  testing::TempHome home;
  const fs::path dirs = home.root() / "config" / "user-dirs.dirs";
  EXPECT_EQ(paths::downloadsDirectory(), home.root() / "Downloads");  // nothing configured
  EXPECT_TRUE(fs::is_directory(home.root() / "Downloads"));

  home.writeFile(dirs,
                 "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/İndirilenler\"\n");
  EXPECT_EQ(paths::downloadsDirectory(), home.root() / "İndirilenler");
  home.writeFile(dirs, "XDG_DOWNLOAD_DIR=\"" + (home.root() / "elsewhere").string() + "\"\n");
  EXPECT_EQ(paths::downloadsDirectory(), home.root() / "elsewhere");
  // A disabled folder points at the home folder itself.
  for (const std::string& value :
       {std::string("$HOME/"), std::string("$HOME"), home.root().string()}) {
    home.writeFile(dirs, "XDG_DOWNLOAD_DIR=\"" + value + "\"\n");
    EXPECT_EQ(paths::downloadsDirectory(), home.root() / "Downloads") << value;
  }
}

TEST(Paths, MovesNeverReplaceAFile) {
  testing::TempHome home;
  const fs::path from = home.root() / "a.part", to = home.root() / "a";
  home.writeFile(from, "new");
  home.writeFile(to, "old");
  EXPECT_EQ(paths::moveWithoutReplacing(from, to), paths::MoveResult::destinationTaken);
  EXPECT_EQ(home.readFile(to), "old");
  EXPECT_EQ(home.readFile(from), "new");
  EXPECT_FALSE(paths::createNewFile(to));
  EXPECT_EQ(home.readFile(to), "old");

  fs::remove(to);
  EXPECT_EQ(paths::moveWithoutReplacing(from, to), paths::MoveResult::moved);
  EXPECT_EQ(home.readFile(to), "new");
  EXPECT_FALSE(fs::exists(from));
  EXPECT_EQ(paths::moveWithoutReplacing(from, to), paths::MoveResult::failed);
}

}  // namespace
}  // namespace zemblo
