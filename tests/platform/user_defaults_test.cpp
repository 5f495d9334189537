#include "platform/user_defaults.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace zemblo {
namespace {

class UserDefaultsTest : public ::testing::Test {
 protected:
  testing::TempHome home;
  std::filesystem::path file = home.root() / "config" / "defaults.json";
};

TEST_F(UserDefaultsTest, ValuesSurviveReopeningUnderTheirVerbatimKeys) {
  {
    UserDefaults defaults(file);
    defaults.setBool("adBlockEnabled", false);
    defaults.setString("searchEngine", "duckDuckGo");
    defaults.setStringArray("adBlockAllowedHosts", {"example.com", "news.example.org"});
    defaults.setData("appPreferences.v1", R"({"theme":"dark"})");
  }
  UserDefaults reopened(file);
  EXPECT_EQ(reopened.boolValue("adBlockEnabled"), false);
  EXPECT_EQ(reopened.stringValue("searchEngine"), "duckDuckGo");
  EXPECT_EQ(reopened.stringArray("adBlockAllowedHosts"),
            (std::vector<std::string>{"example.com", "news.example.org"}));
  EXPECT_EQ(reopened.data("appPreferences.v1"), R"({"theme":"dark"})");
}

TEST_F(UserDefaultsTest, MistypedValuesReadAsAbsent) {
  home.writeFile(file, R"({"flag":"yes","list":["a",1],"text":true})");
  UserDefaults defaults(file);
  EXPECT_TRUE(defaults.contains("flag"));
  EXPECT_FALSE(defaults.boolValue("flag").has_value());
  EXPECT_FALSE(defaults.stringArray("list").has_value());
  EXPECT_FALSE(defaults.stringValue("text").has_value());
  EXPECT_FALSE(defaults.stringValue("absent").has_value());
}

TEST_F(UserDefaultsTest, RemovingAKeyWritesTheFile) {
  UserDefaults defaults(file);
  defaults.setStringArray("AppleLanguages", {"en"});
  defaults.remove("AppleLanguages");
  defaults.flush();
  EXPECT_FALSE(UserDefaults(file).contains("AppleLanguages"));
}

TEST_F(UserDefaultsTest, AnUnreadableFileIsKeptAsideBeforeTheFirstWrite) {
  home.writeFile(file, "{not json");
  UserDefaults defaults(file);
  EXPECT_FALSE(defaults.contains("anything"));
  EXPECT_EQ(home.readFile(file), "{not json");  // reading alone destroys nothing
  defaults.setBool("adBlockEnabled", true);
  defaults.flush();
  EXPECT_EQ(home.readFile(std::filesystem::path(file) += ".bad"), "{not json");
  EXPECT_EQ(UserDefaults(file).boolValue("adBlockEnabled"), true);
}

}  // namespace
}  // namespace zemblo
