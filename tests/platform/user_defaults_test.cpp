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

TEST_F(UserDefaultsTest, AnUnreadableFileIsKeptUnderAFreeNameWhenEveryNumberIsTaken) {
  auto numbered = [&](int number) {
    return std::filesystem::path(file) += number == 0 ? ".bad" : ".bad." + std::to_string(number);
  };
  for (int number = 0; number < 1000; ++number) home.writeFile(numbered(number), "kept");
  home.writeFile(file, "{not json");
  {
    UserDefaults defaults(file);
    defaults.setBool("adBlockEnabled", true);
  }
  EXPECT_EQ(UserDefaults(file).boolValue("adBlockEnabled"), true);
  std::vector<std::string> stamped;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
    if (entry.path().filename().string().starts_with("defaults.json.bad-")) {
      stamped.push_back(home.readFile(entry.path()));
    }
  }
  EXPECT_EQ(stamped, std::vector<std::string>{"{not json"});
  for (int number = 0; number < 1000; ++number) ASSERT_EQ(home.readFile(numbered(number)), "kept");
}

TEST_F(UserDefaultsTest, AStrayByteIsRepairedKeepingEveryValueAndTheFileAsItWas) {
  const std::string bytes = "{\"searchEngine\":\"duck\xFF\",\"adBlockEnabled\":false}";
  home.writeFile(file, bytes);
  UserDefaults defaults(file);
  EXPECT_FALSE(defaults.foundUnreadableFile());
  EXPECT_EQ(defaults.stringValue("searchEngine"), "duck\uFFFD");
  EXPECT_EQ(defaults.boolValue("adBlockEnabled"), false);
  ASSERT_TRUE(defaults.repairedFile());
  EXPECT_EQ(defaults.repairedFile()->keptAs, std::filesystem::path(file) += ".bad");
  EXPECT_EQ(home.readFile(std::filesystem::path(file) += ".bad"), bytes);
}

}  // namespace
}  // namespace zemblo
