#include "platform/database_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;
using database_file::State;

// A database SQLite itself wrote, of several pages of 4096 bytes.
std::string realDatabase(const testing::TempHome& home) {
  const fs::path file = home.root() / "real.sqlite";
  const std::string command =
      "python3 -c \"import sqlite3, sys; d = sqlite3.connect(sys.argv[1]); "
      "d.execute('pragma page_size = 4096'); d.execute('create table c (v)'); "
      "d.executemany('insert into c values (?)', [('x' * 900,)] * 20); d.commit()\" " +
      file.string();
  if (std::system(command.c_str()) != 0) return {};
  return home.readFile(file);
}

// Every way the cookie store was found damaged is told from a whole database, before the engine
// opens it and without waiting on what is no file; a damaged one goes aside with its journal.
TEST(DatabaseFileTest, OnlyAWholeDatabaseIsUsedAndADamagedOneGoesAsideWithItsJournal) {
  testing::TempHome home;
  const std::string whole = realDatabase(home);
  ASSERT_GT(whole.size(), 3u * 4096) << "python3 could not write a database";
  const fs::path file = home.root() / "cookies.sqlite";
  EXPECT_EQ(database_file::check(file), State::missing);
  home.writeFile(file, whole);
  EXPECT_EQ(database_file::check(file), State::usable);
  home.writeFile(file, "");  // SQLite's own new database
  EXPECT_EQ(database_file::check(file), State::usable);

  const std::pair<const char*, std::function<void()>> damages[] = {
      {"cut at a page", [&] { home.writeFile(file, whole.substr(0, whole.size() - 4096)); }},
      {"cut in a page", [&] { home.writeFile(file, whole.substr(0, 4096 + 1000)); }},
      {"cut in its header", [&] { home.writeFile(file, whole.substr(0, 50)); }},
      {"zeroed", [&] { home.writeFile(file, std::string(whole.size(), '\0')); }},
      {"garbage", [&] { home.writeFile(file, std::string(whole.size(), '\x5a')); }},
      {"a directory", [&] { fs::create_directory(file); }},
      {"a link", [&] { fs::create_symlink(home.root() / "real.sqlite", file); }},
      {"a FIFO", [&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }},
  };
  int kept = 0;
  for (const auto& [name, damage] : damages) {
    damage();
    home.writeFile(file.string() + "-journal", name);
    EXPECT_EQ(database_file::check(file), State::unusable) << name;
    const auto keptAs = database_file::setAside(file);
    const std::string suffix = kept++ == 0 ? ".bad" : ".bad." + std::to_string(kept - 1);
    EXPECT_EQ(keptAs, fs::path(file.string() + suffix)) << name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << name;
    EXPECT_EQ(home.readFile(file.string() + "-journal" + suffix), name);
  }
  EXPECT_EQ(home.readFile(home.root() / "real.sqlite"), whole);
}

}  // namespace
}  // namespace zemblo
