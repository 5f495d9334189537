#include <gtest/gtest.h>

#include <glib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/zemblo_app.h"
#include "model/ad_blocker.h"
#include "support/child_process.h"
#include "support/private_bus.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& path) {
  gchar* text = g_shell_quote(path.c_str());
  std::string result(text);
  g_free(text);
  return result;
}

std::string keyOf(GKeyFile* entry, const char* key) {
  gchar* value = g_key_file_get_string(entry, G_KEY_FILE_DESKTOP_GROUP, key, nullptr);
  std::string result = value ? value : "";
  g_free(value);
  return result;
}

bool holdsCompiledList(const fs::path& folder, const std::string& identifier) {
  std::error_code error;
  for (const auto& file : fs::directory_iterator(folder, error)) {
    if (file.path().filename().string().ends_with(identifier)) return true;
  }
  return false;
}

// An installation under a prefix other than the configured one is complete and runs from there:
// the desktop entry names the installed program and icon, and the program finds the rules
// installed beside it and compiles them (a small list put in their place, so that compiling
// takes no time).
TEST(InstallTest, AnotherPrefixGetsARunnableBrowserWithItsEntryAndIcons) {
  testing::TempHome home;
  const fs::path prefix = home.root() / "prefix";
  const std::string install = quoted(ZEMBLO_CMAKE_COMMAND) + " --install " +
                              quoted(ZEMBLO_BUILD_DIR) + " --prefix " + quoted(prefix) +
                              " > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);

  const fs::path share = prefix / "share";
  const fs::path rules = share / "zemblo-browser" / "AdBlockRules.json";
  ASSERT_TRUE(fs::is_regular_file(rules));
  EXPECT_EQ(fs::file_size(rules),
            fs::file_size(fs::path(ZEMBLO_BUILD_DIR) / "resources" / "AdBlockRules.json"));

  const std::string id = ZembloApp::kApplicationId;
  const fs::path entryFile = share / "applications" / (id + ".desktop");
  ASSERT_EQ(std::system(("desktop-file-validate " + quoted(entryFile)).c_str()), 0);
  GKeyFile* entry = g_key_file_new();
  ASSERT_TRUE(g_key_file_load_from_file(entry, entryFile.c_str(), G_KEY_FILE_NONE, nullptr));
  EXPECT_EQ(keyOf(entry, "Name"), "Zemblo Browser");
  EXPECT_NE(keyOf(entry, "Categories").find("WebBrowser;"), std::string::npos);
  // Chosen as the desktop's browser, it is started with the links to open.
  EXPECT_EQ(keyOf(entry, "MimeType"),
            "text/html;application/xhtml+xml;x-scheme-handler/http;x-scheme-handler/https;");
  const std::string exec = keyOf(entry, "Exec");
  ASSERT_TRUE(exec.ends_with(" %U")) << exec;
  const fs::path program = prefix / "bin" / exec.substr(0, exec.size() - 3);
  EXPECT_EQ(access(program.c_str(), X_OK), 0) << program;
  const fs::path icons = share / "icons" / "hicolor";
  EXPECT_TRUE(fs::is_regular_file(icons / "scalable" / "apps" / (keyOf(entry, "Icon") + ".svg")));
  EXPECT_TRUE(fs::is_regular_file(icons / "symbolic" / "apps" / (id + "-symbolic.svg")));
  g_key_file_free(entry);

  // The shipped rules come compiled for this engine, so no first start compiles them.
  std::ifstream shipped(rules, std::ios::binary);
  const std::string shippedBytes{std::istreambuf_iterator<char>(shipped), {}};
  EXPECT_TRUE(holdsCompiledList(share / "zemblo-browser" / "ContentRuleLists",
                                AdBlocker::ruleListIdentifier(shippedBytes)));

  // Rules of another digest are compiled by the installed helper into the user's folder.
  const std::string smallList =
      R"([{"trigger":{"url-filter":"installed-rules"},"action":{"type":"block"}}])";
  std::ofstream(rules, std::ios::trunc) << smallList;
  const std::string identifier = AdBlocker::ruleListIdentifier(smallList);

  // On a bus of its own, so that no browser run earlier takes the activation; the bus ends with
  // the browser's process group.
  std::vector<std::string> command = testing::onPrivateBus();
  command.push_back(program.string());
  testing::ChildProcess browser(command);
  ASSERT_TRUE(browser.started());
  const fs::path compiled = home.dataDir() / "ContentRuleLists";
  bool ready = false;
  for (int i = 0; i < 300 && !ready; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ready = holdsCompiledList(compiled, identifier);
  }
  EXPECT_TRUE(ready) << "no " << identifier << " in " << compiled;
}

}  // namespace
}  // namespace zemblo
