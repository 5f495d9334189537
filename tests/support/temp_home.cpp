#include "support/temp_home.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <glib.h>

namespace zemblo::testing {
namespace {

std::string current(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void restore(const char* name, const std::string& value) {
  if (value.empty())
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
}

}  // namespace

TempHome::TempHome()
    : savedHome_(current("HOME")),
      savedData_(current("XDG_DATA_HOME")),
      savedConfig_(current("XDG_CONFIG_HOME")),
      savedCache_(current("XDG_CACHE_HOME")) {
  gchar* dir = g_dir_make_tmp("zemblo-test-XXXXXX", nullptr);
  root_ = dir;
  g_free(dir);
  setenv("HOME", root_.c_str(), 1);
  setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
}

TempHome::~TempHome() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
  restore("HOME", savedHome_);
  restore("XDG_DATA_HOME", savedData_);
  restore("XDG_CONFIG_HOME", savedConfig_);
  restore("XDG_CACHE_HOME", savedCache_);
}

void TempHome::writeFile(const std::filesystem::path& file, const std::string& contents) const {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << contents;
}

std::string TempHome::readFile(const std::filesystem::path& file) const {
  std::ifstream in(file, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace zemblo::testing
