#include <gtest/gtest.h>

#include <clocale>

#include "support/logged_criticals.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zemblo::testing::recordCriticals();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
