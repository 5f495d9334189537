#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/browser_commands_harness.h"
#include "model/download_manager.h"
#include "model/preferences_model.h"
#include "support/file_chooser.h"

// Real downloads from a local server, saved where the user's preferences say, or where the user
// answers the save dialog.
namespace zemblo {
namespace {

namespace fs = std::filesystem;
using testing::BrowserCommandsTest;
using testing::waitUntil;
using State = DownloadItem::State;

std::string binaryBody(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 13 + i / 256) % 256);
  return body;
}

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class DownloadDestinationTest : public BrowserCommandsTest {
 protected:
  DownloadDestinationTest() {
    server.route("/files/report",
                 {body,
                  "application/octet-stream",
                  {{"Content-Disposition", "attachment; filename=\"report.bin\""}}});
    fs::create_directories(chosenFolder);
    fs::create_directories(answeredFolder);
  }

  DownloadManager& downloads() { return store().downloads(); }
  void startDownload() { store().tabs().openTab(server.address("/files/report"), false); }
  std::shared_ptr<DownloadItem> newestAfter(size_t before) {
    if (!waitUntil([&] { return downloads().items.peek().size() > before; })) return nullptr;
    return downloads().items.peek().front();
  }
  bool ends(DownloadItem& item) {
    return waitUntil([&] { return item.state.peek() != State::downloading; });
  }

  const std::string body = binaryBody(200'000);
  const fs::path chosenFolder = home.root() / "Chosen";
  const fs::path answeredFolder = home.root() / "Answered";
};

TEST_F(DownloadDestinationTest, ADownloadGoesToTheChosenFolderOrWhereTheSaveDialogSays) {
  runBrowser([&] {
    store().preferences().updatePrefs(
        [&](AppPreferences& prefs) { prefs.downloadFolder = chosenFolder.string(); });
    startDownload();
    auto quiet = newestAfter(0);
    ASSERT_TRUE(quiet && ends(*quiet));
    EXPECT_EQ(quiet->state.peek(), State::finished);
    EXPECT_TRUE(home.readFile(chosenFolder / "report.bin") == body);

    // Asking: the dialog over the browser window proposes the name in the chosen folder.
    store().preferences().updatePrefs([](AppPreferences& prefs) { prefs.askWhereToSave = true; });
    startDownload();
    GtkFileChooser* dialog = testing::shownFileChooser();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(window().gobj()));
    EXPECT_EQ(gtk_file_chooser_get_action(dialog), GTK_FILE_CHOOSER_ACTION_SAVE);
    EXPECT_EQ(std::string(gtk_file_chooser_get_current_name(dialog)), "report.bin");
    EXPECT_TRUE(waitUntil([&] {
      return testing::pathOf(gtk_file_chooser_get_current_folder(dialog)) == chosenFolder;
    })) << testing::pathOf(gtk_file_chooser_get_current_folder(dialog));
    ASSERT_TRUE(testing::chooseToSave(dialog, answeredFolder, "mine.bin"));
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    auto asked = newestAfter(1);
    ASSERT_TRUE(asked && ends(*asked));
    EXPECT_EQ(asked->state.peek(), State::finished);
    EXPECT_EQ(asked->destination.peek().value_or("none"), answeredFolder / "mine.bin");
    EXPECT_TRUE(home.readFile(answeredFolder / "mine.bin") == body);
    EXPECT_EQ(filesIn(answeredFolder), std::vector<std::string>{"mine.bin"});

    // Cancelling stops the download: its row goes and no file is left anywhere.
    startDownload();
    ASSERT_TRUE(waitUntil([&] { return downloads().items.peek().size() == 3; }));
    dialog = testing::shownFileChooser();
    ASSERT_TRUE(dialog);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    ASSERT_TRUE(waitUntil([&] { return downloads().items.peek().size() == 2; }));
    EXPECT_EQ(downloads().runningCount(), 0u);
    EXPECT_EQ(filesIn(chosenFolder), std::vector<std::string>{"report.bin"});
    EXPECT_EQ(filesIn(answeredFolder), std::vector<std::string>{"mine.bin"});
  });
}

}  // namespace
}  // namespace zemblo
