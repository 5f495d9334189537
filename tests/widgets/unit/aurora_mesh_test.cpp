#include <gtest/gtest.h>

#include <cmath>

#include "model/theme_colors.h"
#include "widgets/aurora_background.h"

namespace zemblo {
namespace {

constexpr Color kBlue{0.2, 0.3, 0.9};
constexpr Color kPink{0.95, 0.4, 0.7};

void expectNear(const Color& actual, const Color& expected, double tolerance) {
  EXPECT_NEAR(actual.r, expected.r, tolerance);
  EXPECT_NEAR(actual.g, expected.g, tolerance);
  EXPECT_NEAR(actual.b, expected.b, tolerance);
}

TEST(AuroraMeshTest, TheDriftRunsAtTheSpeedGivenButNeverSlowerThanAtOneTwentieth) {
  EXPECT_DOUBLE_EQ(AuroraMesh::phase(10, 1), 2.2);
  EXPECT_DOUBLE_EQ(AuroraMesh::phase(10, 2), 4.4);
  for (double slow : {0.0, -3.0, 0.01, std::nan("")}) {
    EXPECT_DOUBLE_EQ(AuroraMesh::phase(100, slow), 1.1) << slow;
  }
}

TEST(AuroraMeshTest, TintsSitInOppositeCornersAndOnlyTheMiddleRowMoves) {
  const double t = 1.3;
  const AuroraMesh mesh = AuroraMesh::at(t, kBlue, kPink, ColorScheme::dark);
  EXPECT_DOUBLE_EQ(mesh.points[3].y, 0.5 + 0.12 * std::sin(t));
  EXPECT_DOUBLE_EQ(mesh.points[4].x, 0.5 + 0.18 * std::cos(0.8 * t));
  EXPECT_DOUBLE_EQ(mesh.points[4].y, 0.5 + 0.14 * std::sin(1.1 * t));
  EXPECT_DOUBLE_EQ(mesh.points[5].y, 0.5 + 0.12 * std::cos(0.9 * t));
  EXPECT_EQ(mesh.points[1].x, 0.5);
  EXPECT_EQ(mesh.points[7].y, 1);

  const Color base{0.07, 0.07, 0.07};
  const Color a = mixPerceptual(base, kBlue, 0.35);
  const Color b = mixPerceptual(base, kPink, 0.35);
  // What is drawn at a grid point is that point's colour.
  expectNear(mesh.colorAt(0, 0), a, 1e-6);
  expectNear(mesh.colorAt(1, 1), a, 1e-6);
  expectNear(mesh.colorAt(1, 0), b, 1e-6);
  expectNear(mesh.colorAt(0.5, 0), base, 1e-6);
  expectNear(mesh.colorAt(mesh.points[4].x, mesh.points[4].y), mixPerceptual(b, a, 0.5), 1e-6);

  const AuroraMesh light = AuroraMesh::at(t, kBlue, kPink, ColorScheme::light);
  expectNear(light.colors[1], Color{0.98, 0.98, 0.98}, 1e-9);
  expectNear(light.colors[0], mixPerceptual(Color{0.98, 0.98, 0.98}, kBlue, 0.45), 1e-9);

  // One colour twice: corners and centre agree.
  const AuroraMesh same = AuroraMesh::at(t, kBlue, kBlue, ColorScheme::light);
  expectNear(same.colors[0], same.colors[2], 1e-6);
  expectNear(same.colors[0], same.colors[4], 1e-6);
}

}  // namespace
}  // namespace zemblo
