#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace zemblo {
namespace {

TEST(MappedFile, MapsTheWholeFileOrNothing) {
  testing::TempHome home;
  const std::string text("rules\0with a NUL", 16);
  home.writeFile(home.root() / "rules.json", text);
  home.writeFile(home.root() / "empty.json", "");

  auto mapped = MappedFile::open(home.root() / "rules.json");
  ASSERT_TRUE(mapped);
  EXPECT_EQ(mapped->bytes(), text);
  // Moved, the mapping goes along and the source is left empty.
  MappedFile moved = std::move(*mapped);
  EXPECT_EQ(moved.bytes(), text);
  EXPECT_TRUE(mapped->bytes().empty());

  const auto empty = MappedFile::open(home.root() / "empty.json");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->bytes().empty());
  EXPECT_FALSE(MappedFile::open(home.root() / "missing.json"));
  EXPECT_FALSE(MappedFile::open(home.root()));  // a folder is no file
}

}  // namespace
}  // namespace zemblo
