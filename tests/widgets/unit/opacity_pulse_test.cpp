#include "widgets/opacity_pulse.h"

#include <gtest/gtest.h>

namespace zemblo {
namespace {

// The style sheets' ease-in-out, cubic-bezier(0.42, 0, 0.58, 1), as browsers compute it.
TEST(OpacityPulseTest, EasesInAndOutLikeTheStyleSheets) {
  EXPECT_DOUBLE_EQ(cssEaseInOut(0), 0);
  EXPECT_DOUBLE_EQ(cssEaseInOut(1), 1);
  EXPECT_NEAR(cssEaseInOut(0.1), 0.019722, 1e-6);
  EXPECT_NEAR(cssEaseInOut(0.25), 0.129162, 1e-6);
  EXPECT_NEAR(cssEaseInOut(0.5), 0.5, 1e-9);
  EXPECT_NEAR(cssEaseInOut(0.75), 0.870838, 1e-6);
}

// Out to the low end in one period, back in the next, and so on.
TEST(OpacityPulseTest, AlternatesBetweenFullAndLowEachPeriod) {
  const double low = 0.25 / 0.72;
  EXPECT_DOUBLE_EQ(OpacityPulse::opacityAt(0, low, 1), 1);
  EXPECT_NEAR(OpacityPulse::opacityAt(1, low, 1), low, 1e-12);
  EXPECT_NEAR(OpacityPulse::opacityAt(2, low, 1), 1, 1e-12);
  EXPECT_NEAR(OpacityPulse::opacityAt(0.25, low, 1), OpacityPulse::opacityAt(1.75, low, 1), 1e-12);
  EXPECT_NEAR(OpacityPulse::opacityAt(0.5, low, 1), (1 + low) / 2, 1e-9);
  EXPECT_NEAR(OpacityPulse::opacityAt(3.5, low, 2), OpacityPulse::opacityAt(0.5, low, 2), 1e-12);
}

}  // namespace
}  // namespace zemblo
