#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "model/localization.h"
#include "model/window_model.h"
#include "settings/panes/spaces_pane.h"
#include "settings/panes/start_page_pane.h"
#include "settings/previews/start_preview.h"
#include "support/interface_language.h"

namespace zemblo {
namespace {

using Language = testing::InterfaceLanguage;

TEST(StartPagePaneTexts, SpeedBlurNameAndBackgroundLabels) {
  Language english(true);
  const std::pair<double, const char*> speeds[] = {{0, "Still"},   {0.25, "0.25x"}, {0.5, "0.5x"},
                                                   {1, "1x"},      {1.25, "1.2x"},  {1.5, "1.5x"},
                                                   {1.75, "1.8x"}, {2, "2x"}};
  for (const auto& [speed, text] : speeds) EXPECT_EQ(StartPagePane::speedLabel(speed), text);
  EXPECT_EQ(StartPagePane::blurLabel(12.9), "12");
  EXPECT_EQ(StartPagePane::blurLabel(0.4), "0");
  EXPECT_EQ(percentText(0.35), "35%");
  EXPECT_EQ(StartPagePane::namePlaceholder("Ada Lovelace"), "Ada");
  EXPECT_EQ(StartPagePane::namePlaceholder("  Ada  Lovelace"), "Ada");
  EXPECT_EQ(StartPagePane::namePlaceholder(""), "Your name");
  EXPECT_EQ(StartPagePane::backgroundLabel(StartBackground::aurora), "Aurora");
  EXPECT_EQ(StartPagePane::backgroundLabel(StartBackground::solid), "Minimal");
  // The miniature greets the morning at any hour.
  EXPECT_EQ(StartPreview::greetingText("Ada"), "Good morning, Ada");
  EXPECT_EQ(StartPreview::greetingText(""), "Good morning");

  Language turkish(false);
  EXPECT_EQ(StartPagePane::speedLabel(0), "Durağan");
  EXPECT_EQ(percentText(0.35), "%35");
  EXPECT_EQ(StartPagePane::backgroundLabel(StartBackground::wallpaper), "Duvar kâğıdı");
  EXPECT_EQ(StartPagePane::backgroundLabel(StartBackground::aurora), "Aurora");
}

// The badge is read the same in every locale: one with a decimal comma must not make it "1,2x".
TEST(StartPagePaneTexts, SpeedLabelIgnoresTheLocalesDecimalComma) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zemblo-locales";
  const std::string compile =
      "localedef -i tr_TR -f UTF-8 '" + (folder / "tr_TR.UTF-8").string() + "' >/dev/null 2>&1";
  std::filesystem::create_directories(folder);
  ASSERT_EQ(std::system(compile.c_str()), 0) << "the Turkish locale could not be compiled";
  setenv("LOCPATH", folder.c_str(), 1);
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "tr_TR.UTF-8"), nullptr);
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  const std::string label = StartPagePane::speedLabel(1.25);
  std::setlocale(LC_NUMERIC, previous.c_str());
  unsetenv("LOCPATH");
  EXPECT_EQ(label, "1.2x");
}

TEST(SpacesPaneRules, ThePickedSpaceWhileItExistsElseTheCurrentElseTheFirst) {
  WindowModel::SpaceList spaces;
  for (const char* name : {"a", "b", "c"}) {
    spaces.push_back(std::make_shared<Space>(name, "star.fill", "#000000", "#FFFFFF"));
  }
  const Uuid gone = Uuid::random();
  EXPECT_EQ(SpacesPane::editedSpace(spaces, spaces[2]->id, spaces[1]->id), spaces[2]);
  EXPECT_EQ(SpacesPane::editedSpace(spaces, std::nullopt, spaces[1]->id), spaces[1]);
  EXPECT_EQ(SpacesPane::editedSpace(spaces, gone, spaces[1]->id), spaces[1]);
  EXPECT_EQ(SpacesPane::editedSpace(spaces, gone, gone), spaces[0]);
}

}  // namespace
}  // namespace zemblo
