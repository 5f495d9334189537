#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "model/preferences_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/general_pane.h"
#include "support/file_chooser.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;
using testing::waitUntil;

GtkWidget* findWidget(GtkWidget* root, const std::function<bool(GtkWidget*)>& match) {
  if (match(root)) return root;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GtkWidget* found = findWidget(child, match)) return found;
  }
  return nullptr;
}

// The control of that type a screen reader announces by `name`.
GtkWidget* namedControl(Gtk::Widget& root, GType type, const std::string& name) {
  return findWidget(root.gobj(), [&](GtkWidget* widget) {
    if (!G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) return false;
    char* mismatch = gtk_test_accessible_check_property(
        GTK_ACCESSIBLE(widget), GTK_ACCESSIBLE_PROPERTY_LABEL, name.c_str());
    g_free(mismatch);
    return mismatch == nullptr;
  });
}

std::string shownText(GtkWidget* button) {
  GtkWidget* label = findWidget(button, [](GtkWidget* widget) { return GTK_IS_LABEL(widget); });
  return label ? gtk_label_get_text(GTK_LABEL(label)) : "";
}

// Both download settings are found by their names, start at their defaults (no asking, the
// desktop's download folder) and end up in the settings file.
TEST(DownloadSettingsTest, AskingAndTheChosenFolderAreStored) {
  SettingsHarness harness;
  auto& pane = testing::showPane<GeneralPane>(harness, SettingsPane::general);
  auto* ask = namedControl(pane, GTK_TYPE_SWITCH, "Her dosyanın nereye kaydedileceğini sor");
  GtkWidget* folderButton = namedControl(pane, GTK_TYPE_BUTTON, "İndirme klasörü");
  ASSERT_TRUE(ask && folderButton);
  EXPECT_FALSE(gtk_switch_get_active(GTK_SWITCH(ask)));
  const std::filesystem::path desktopFolder = AppPreferences().effectiveDownloadFolder();
  EXPECT_EQ(shownText(folderButton), desktopFolder.filename().string());

  gtk_switch_set_active(GTK_SWITCH(ask), TRUE);
  pump();
  EXPECT_TRUE(testing::savedPrefs(harness).askWhereToSave);

  const std::filesystem::path chosen = desktopFolder.parent_path() / "Gelenler";
  std::filesystem::create_directories(chosen);
  g_signal_emit_by_name(folderButton, "clicked");
  GtkFileChooser* chooser = testing::shownFileChooser();
  ASSERT_TRUE(chooser);
  EXPECT_EQ(gtk_file_chooser_get_action(chooser), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
  GFile* folder = g_file_new_for_path(chosen.c_str());
  ASSERT_TRUE(gtk_file_chooser_set_file(chooser, folder, nullptr));
  g_object_unref(folder);
  // The chooser reads the folder's parent before it can select the folder.
  ASSERT_TRUE(waitUntil([&] {
    GFile* selected = gtk_file_chooser_get_file(chooser);
    char* path = selected ? g_file_get_path(selected) : nullptr;
    const bool there = path && chosen == path;
    g_free(path);
    if (selected) g_object_unref(selected);
    return there;
  }));
  gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
  ASSERT_TRUE(waitUntil([&] { return shownText(folderButton) == "Gelenler"; }));
  const AppPreferences saved = testing::savedPrefs(harness);
  EXPECT_EQ(saved.downloadFolder, chosen.string());
  EXPECT_TRUE(saved.askWhereToSave);
}

}  // namespace
}  // namespace zemblo
