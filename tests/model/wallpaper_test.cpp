#include "model/wallpaper.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/temp_home.h"
#include "support/wait.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

class WallpaperTest : public ::testing::Test {
 protected:
  fs::path folder() const { return Wallpaper::defaultFolder(); }
  fs::path picked(const std::string& name, const std::string& bytes) const {
    const fs::path file = home.root() / "picked" / name;
    home.writeFile(file, bytes);
    return file;
  }

  static bool any(const fs::path&) { return true; }

  testing::TempHome home;
};

TEST_F(WallpaperTest, NamesAreGeneratedAndOnlyThatFormIsAccepted) {
  const std::regex form("wallpaper-[0-9A-F]{8}\\.(.*)");
  std::smatch match;
  const std::string png = Wallpaper::newFileName("/pictures/Beach.PNG");
  ASSERT_TRUE(std::regex_match(png, match, form)) << png;
  EXPECT_EQ(match[1], "PNG");
  EXPECT_TRUE(Wallpaper::newFileName("/pictures/beach").ends_with(".jpg"));
  // An extension that could not be stored safely is not kept.
  EXPECT_TRUE(Wallpaper::newFileName("/pictures/beach.j p;g").ends_with(".jpg"));
  EXPECT_NE(Wallpaper::newFileName("a.png"), Wallpaper::newFileName("a.png"));
  EXPECT_TRUE(Wallpaper::isStoredFileName(png));

  for (const char* hostile :
       {"", "session.json", "../wallpaper-0123ABCD.png", "wallpaper-0123ABCD.png/..",
        "/etc/wallpaper-0123ABCD.png", "wallpaper-0123abcd.png", "wallpaper-0123ABC.png",
        "wallpaper-0123ABCD.", "wallpaper-0123ABCD", "wallpaper-0123ABCD.png.", "..",
        "wallpaper-0123ABCD.p/g", "wallpaper-0123ABCD.extensiontoolong"}) {
    EXPECT_FALSE(Wallpaper::isStoredFileName(hostile)) << hostile;
    EXPECT_FALSE(Wallpaper::fileFor(std::string(hostile), folder())) << hostile;
  }
  EXPECT_FALSE(Wallpaper::fileFor(std::nullopt, folder()));
  EXPECT_EQ(Wallpaper::fileFor("wallpaper-0123ABCD.png", folder()),
            folder() / "wallpaper-0123ABCD.png");
}

TEST_F(WallpaperTest, ImportCopiesTheBytesAndReplacesTheOldPictureOnlyOnceCopied) {
  const std::string bytes("first\0bytes", 11);
  const std::string first = *Wallpaper::importImage(picked("one.png", bytes), {}, any).name;
  EXPECT_EQ(home.readFile(folder() / first), bytes);

  // A failed copy leaves the current picture alone.
  EXPECT_FALSE(Wallpaper::importImage(home.root() / "missing.png", first, any).name);
  EXPECT_FALSE(Wallpaper::importImage(home.root(), first, any).name);
  EXPECT_TRUE(fs::exists(folder() / first));

  const std::string second = *Wallpaper::importImage(picked("two.webp", "second"), first, any).name;
  EXPECT_TRUE(second.ends_with(".webp"));
  EXPECT_EQ(home.readFile(folder() / second), "second");
  EXPECT_FALSE(fs::exists(folder() / first));

  // The same in the background, answered on the main loop.
  std::optional<std::optional<std::string>> third;
  Wallpaper::importImageInBackground(picked("three.jpeg", "third"), second, any,
                                     [&](Wallpaper::Import result) { third = result.name; });
  testing::waitUntil([&] { return third.has_value(); }, std::chrono::seconds(5));
  ASSERT_TRUE(third && *third);
  EXPECT_EQ(home.readFile(folder() / **third), "third");
  EXPECT_FALSE(fs::exists(folder() / second));
}

TEST_F(WallpaperTest, DeleteTouchesNothingButAStoredPicture) {
  home.writeFile(folder() / "session.json", "{}");
  home.writeFile(home.root() / "data" / "wallpaper-0123ABCD.png", "outside");
  const std::string stored = *Wallpaper::importImage(picked("one.png", "picture"), {}, any).name;

  Wallpaper::deleteFile("session.json");
  Wallpaper::deleteFile("../wallpaper-0123ABCD.png");
  Wallpaper::deleteFile((folder() / stored).string());
  EXPECT_TRUE(fs::exists(folder() / "session.json"));
  EXPECT_TRUE(fs::exists(home.root() / "data" / "wallpaper-0123ABCD.png"));
  EXPECT_TRUE(fs::exists(folder() / stored));

  Wallpaper::deleteFile(stored);
  EXPECT_FALSE(fs::exists(folder() / stored));
  Wallpaper::deleteFile(stored);  // already gone: nothing happens
}

}  // namespace
}  // namespace zemblo
