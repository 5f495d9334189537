#include "platform/resource_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform_resources.h"

namespace zemblo {
namespace {

constexpr const char* kCard = "/com/pellobar/browser/platform/card.css";

TEST(ResourceText, FillsEveryPlaceholderWithItsValueAsGiven) {
  EXPECT_EQ(resources::cardStyleSheet({.accent = "#7b61ff", .textColor = "white"}),
            ".card { color: white; background: #7b61ff; }\n"
            ".card:hover { outline-color: alpha(#7b61ff, 0.5); }\n");
  // A value that looks like a placeholder is text, not another substitution.
  EXPECT_EQ(resources::cardStyleSheet({.accent = "{{TEXT_COLOR}}", .textColor = "{{ACCENT}}"}),
            ".card { color: {{ACCENT}}; background: {{TEXT_COLOR}}; }\n"
            ".card:hover { outline-color: alpha({{TEXT_COLOR}}, 0.5); }\n");
}

// The warnings logged while it lives.
class Warnings {
 public:
  Warnings()
      : handler_(g_log_set_handler("Zemblo", G_LOG_LEVEL_WARNING, &Warnings::collect, &texts_)) {}
  ~Warnings() { g_log_remove_handler("Zemblo", handler_); }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  static void collect(const char*, GLogLevelFlags, const char* text, gpointer texts) {
    static_cast<std::vector<std::string>*>(texts)->push_back(text);
  }
  std::vector<std::string> texts_;
  guint handler_;
};

TEST(ResourceText, WarnsOfAMissingFileOrAPlaceholderWithoutItsValue) {
  GResource* bundle = zemblo_platform_resources_get_resource();
  {
    Warnings warnings;
    EXPECT_EQ(resourceText(bundle, "/com/pellobar/browser/platform/gone.css", {}), "");
    EXPECT_EQ(resourceText(nullptr, kCard, {}), "");
    ASSERT_EQ(warnings.texts().size(), 2u);
    EXPECT_NE(warnings.texts()[0].find("/platform/gone.css is missing"), std::string::npos);
    EXPECT_NE(warnings.texts()[1].find("card.css is missing: no bundle"), std::string::npos);
  }
  Warnings warnings;
  EXPECT_EQ(resourceText(bundle, kCard, {{"TEXT_COLOR", "black"}, {"ACCNET", "red"}}),
            ".card { color: black; background: {{ACCENT}}; }\n"
            ".card:hover { outline-color: alpha({{ACCENT}}, 0.5); }\n");
  EXPECT_EQ(warnings.texts(),
            (std::vector<std::string>{
                "The resource " + std::string(kCard) + " has no value for {{ACCENT}}",
                "The resource " + std::string(kCard) + " has no value for {{ACCENT}}",
                "The resource " + std::string(kCard) + " has no placeholder {{ACCNET}}"}));
}

}  // namespace
}  // namespace zemblo
