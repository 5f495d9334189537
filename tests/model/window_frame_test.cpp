#include "model/window_frame.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/user_defaults.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

constexpr WindowSize kMinimum{880, 560};
constexpr WindowSize kScreen{1920, 1080};

TEST(WindowFrameTest, ARememberedFrameIsReadBackFittedAndAnythingUnusableIsNone) {
  testing::TempHome home;
  const auto file = home.root() / "defaults.json";
  {
    UserDefaults defaults(file);
    WindowFrameMemory(defaults).remember({1200, 700, true});
  }
  // Through the file, as the next start reads it.
  UserDefaults defaults(file);
  WindowFrameMemory memory(defaults);
  EXPECT_EQ(memory.remembered(kMinimum, kScreen), (WindowFrame{1200, 700, true}));

  const auto read = [&](const std::string& stored, std::optional<WindowSize> screen = kScreen) {
    defaults.setData(WindowFrameMemory::kDefaultsKey, stored);
    return memory.remembered(kMinimum, screen);
  };
  EXPECT_EQ(read(R"({"width":1000,"height":600})"), (WindowFrame{1000, 600, false}));
  // Never below the minimum, never beyond the screen; no screen known, only the minimum holds.
  EXPECT_EQ(read(R"({"width":300,"height":5000})"), (WindowFrame{880, 1080, false}));
  EXPECT_EQ(read(R"({"width":3000,"height":200})", std::nullopt), (WindowFrame{3000, 560, false}));
  EXPECT_EQ(read(R"({"width":1000,"height":900})", WindowSize{800, 480}),
            (WindowFrame{880, 560, false}));

  for (const std::string hostile :
       {"", "{", "[1200,700]", "null", R"({"width":1200})", R"({"width":0,"height":700})",
        R"({"width":-1200,"height":700})", R"({"width":1200,"height":99999999999})",
        R"({"width":1200,"height":32768})", R"({"width":1200.5,"height":700})",
        R"({"width":1e300,"height":700})", R"({"width":"1200","height":700})",
        R"({"width":1200,"height":700,"maximized":"yes"})"}) {
    EXPECT_EQ(read(hostile), std::nullopt) << hostile;
  }
  defaults.remove(WindowFrameMemory::kDefaultsKey);
  EXPECT_EQ(memory.remembered(kMinimum, kScreen), std::nullopt);
}

}  // namespace
}  // namespace zemblo
