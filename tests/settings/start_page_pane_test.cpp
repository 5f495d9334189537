#include "settings/panes/start_page_pane.h"

#include <gtest/gtest.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <filesystem>

#include "model/clock_greeting_rules.h"
#include "model/favorites_model.h"
#include "model/preferences_model.h"
#include "model/wallpaper.h"
#include "settings/previews/start_background_thumb.h"
#include "settings/previews/start_preview.h"
#include "settings/settings_harness.h"
#include "settings/settings_sidebar.h"
#include "support/find_pane_controls.h"
#include "support/find_settings_widgets.h"
#include "support/find_window.h"
#include "widgets/start_background_view.h"
#include "window/start_page.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;
using testing::pump;
using testing::row;
using testing::SettingsHarness;
using testing::waitUntil;

// A line of the preview's texts, by its widget name.
Gtk::Label& previewLine(StartPreview& preview, const std::string& line) {
  return testing::byWidgetName<Gtk::Label>(preview, line);
}

// Whether the preview draws its texts light, for a picture under them.
bool textsOverPicture(StartPreview& preview) {
  return testing::findFirst(GTK_WIDGET(preview.gobj()), [](GtkWidget* widget) {
           return gtk_widget_has_css_class(widget, "light-on-picture");
         }) != nullptr;
}

StartPagePane& showStartPagePane(SettingsHarness& harness) {
  testing::paneRow(harness.view(), SettingsPane::startPage).activate();
  pump();
  return dynamic_cast<StartPagePane&>(testing::shownPane(harness.view()));
}

StartPreview& previewOf(Gtk::Widget& pane) {
  return testing::byWidgetName<StartPreview>(pane, "StartPreview");
}

Gtk::Button& removePictureButton(Gtk::Widget& pane) {
  return testing::named(testing::row(pane, "Görsel"), "Kaldır");
}

fs::path writePicture(const fs::path& file) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 64, 40);
  gdk_pixbuf_fill(pixbuf, 0x2060C0FF);
  fs::create_directories(file.parent_path());
  EXPECT_TRUE(gdk_pixbuf_save(pixbuf, file.c_str(), "png", nullptr, nullptr));
  g_object_unref(pixbuf);
  return file;
}

TEST(StartPagePaneTest, ControlsWriteThePreferencesAndThePreviewFollowsTheStartPage) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  StartPagePane& pane = showStartPagePane(harness);
  StartPreview& preview = previewOf(pane);

  testing::named<Gtk::Entry>(pane, "Adın", GTK_ACCESSIBLE_ROLE_TEXT_BOX).set_text("Ada");
  pump();
  EXPECT_EQ(store.preferences().prefs().greetingName, "Ada");
  EXPECT_EQ(previewLine(preview, "PreviewGreeting").get_text(), "Günaydın, Ada");
  EXPECT_EQ(preview.get_height(), StartPreview::kHeight);
  SettingsHarness::shot(*harness.view().get_child(), "settings-start-page-tr");

  // The clock and the date read exactly as the start page's own do, in both clock formats and
  // in both languages (retried once should a minute turn between the two readings).
  const auto sameAsStartPage = [&] {
    // A new language rebuilds the window's start page and the pane.
    ClockGreeting& startPage =
        testing::widgetNamed<ClockGreeting>(harness.content(), "ClockGreeting");
    StartPreview& shown = previewOf(testing::shownPane(harness.view()));
    for (int attempt = 0; attempt < 2; ++attempt) {
      startPage.sync();
      pump();
      if (previewLine(shown, "PreviewTime").get_text() ==
              testing::widgetNamed<Gtk::Label>(startPage, "ClockTime").get_text() &&
          previewLine(shown, "PreviewDate").get_text() ==
              testing::widgetNamed<Gtk::Label>(startPage, "ClockDate").get_text())
        return true;
      store.preferences().updatePrefs([](AppPreferences& prefs) { prefs.greetingName += " "; });
    }
    return false;
  };
  for (const bool use24Hour : {false, true}) {
    store.preferences().updatePrefs([&](AppPreferences& prefs) { prefs.use24Hour = use24Hour; });
    EXPECT_TRUE(sameAsStartPage()) << previewLine(preview, "PreviewTime").get_text();
  }
  harness.setLanguage(AppLanguage::english);
  StartPagePane& english = dynamic_cast<StartPagePane&>(testing::shownPane(harness.view()));
  EXPECT_TRUE(sameAsStartPage()) << previewLine(previewOf(english), "PreviewDate").get_text();
  EXPECT_EQ(previewLine(previewOf(english), "PreviewGreeting")
                .get_text()
                .raw()
                .rfind("Good morning, Ada", 0),
            0u);
  EXPECT_EQ(testing::cardTitles(english, "Aurora").front(), "Aurora");
  harness.setLanguage(AppLanguage::turkish);
  StartPagePane& turkish = dynamic_cast<StartPagePane&>(testing::shownPane(harness.view()));

  // Without the clock the 24-hour switch greys out and keeps its value.
  store.preferences().updatePrefs([](AppPreferences& prefs) { prefs.showClock = false; });
  pump();
  EXPECT_FALSE(row(turkish, "24 saat biçimi").is_sensitive());
  EXPECT_NEAR(row(turkish, "24 saat biçimi").get_opacity(), StartPagePane::kDisabledOpacity, 0.01);
  EXPECT_TRUE(store.preferences().prefs().use24Hour);
  EXPECT_FALSE(previewLine(previewOf(turkish), "PreviewTime").get_visible());

  // The background's own rows follow the card chosen.
  ASSERT_TRUE(SettingsHarness::click(testing::named(turkish, "Renk geçişi")));
  pump();
  EXPECT_EQ(store.preferences().prefs().startBackground, StartBackground::gradient);
  for (const char* title : {"Hareket hızı", "Görsel", "Karartma", "Bulanıklık"}) {
    EXPECT_FALSE(row(turkish, title).get_visible()) << title;
  }
  Gtk::Button& wallpaper = testing::named(turkish, "Duvar kâğıdı");
  ASSERT_TRUE(SettingsHarness::click(wallpaper));
  pump();
  EXPECT_FALSE(row(turkish, "Hareket hızı").get_visible());
  EXPECT_TRUE(row(turkish, "Görsel").get_visible());
  EXPECT_EQ(testing::subtitle(row(turkish, "Görsel")), "Henüz görsel seçilmedi");
  EXPECT_FALSE(removePictureButton(turkish).get_visible());
  auto& wallpaperCard =
      testing::byWidgetName<StartBackgroundThumb>(wallpaper, "StartBackgroundThumb");
  EXPECT_TRUE(testing::byWidgetName(wallpaperCard, "ChooseSymbol").get_visible());

  // Six favourites at most, and none with the switch off.
  store.favorites().list.mutate([](std::vector<Favorite>& list) {
    for (int i = 0; i < 8; ++i) {
      list.emplace_back(Uuid::random(), "F",
                        *Url::parse("https://f" + std::to_string(i) + ".test/"), std::nullopt);
    }
  });
  pump();
  int tiles = 0;
  for (auto* child = testing::byWidgetName<Gtk::Box>(previewOf(turkish), "PreviewFavorites")
                         .get_first_child();
       child; child = child->get_next_sibling())
    ++tiles;
  EXPECT_EQ(tiles, 6);
  store.preferences().updatePrefs([](AppPreferences& prefs) { prefs.showStartFavorites = false; });
  pump();
  EXPECT_FALSE(
      testing::byWidgetName<Gtk::Box>(previewOf(turkish), "PreviewFavorites").get_visible());
}

std::vector<std::string> wallpaperFiles(const fs::path& folder) {
  std::vector<std::string> kept;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name.starts_with("wallpaper-")) kept.push_back(name);
  }
  return kept;
}

TEST(StartPagePaneTest, AChosenPictureReplacesTheLastAndOnlyTheBrowsersOwnFilesAreDeleted) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  StartPagePane& pane = showStartPagePane(harness);
  const fs::path folder = Wallpaper::defaultFolder();
  const fs::path picture = writePicture(harness.home().root() / "Pictures" / "sea.png");

  pane.useWallpaper(picture);
  ASSERT_TRUE(waitUntil([&] { return store.preferences().prefs().wallpaperFile.has_value(); }));
  const std::string first = *store.preferences().prefs().wallpaperFile;
  EXPECT_TRUE(fs::exists(folder / first));
  EXPECT_EQ(store.preferences().prefs().startBackground, StartBackground::wallpaper);
  StartPreview& preview = previewOf(pane);
  Gtk::Widget& pictureRow = row(pane, "Görsel");
  ASSERT_TRUE(waitUntil([&] { return textsOverPicture(preview); }));
  EXPECT_EQ(testing::subtitle(pictureRow), "Kendi görselin kullanılıyor");
  EXPECT_TRUE(removePictureButton(pane).get_visible());
  SettingsHarness::shot(pane, "settings-start-page-wallpaper");

  // A file that is no picture, whatever its name says, leaves the working one in place and the
  // row says why.
  harness.home().writeFile(harness.home().root() / "Pictures" / "notes.png", "just some text");
  pane.useWallpaper(harness.home().root() / "Pictures" / "notes.png");
  ASSERT_TRUE(waitUntil([&] {
    return testing::subtitle(pictureRow) ==
           "Seçilen dosya bir görsel olarak açılamadı; mevcut görsel korunuyor.";
  }));
  EXPECT_EQ(store.preferences().prefs().wallpaperFile, first);
  EXPECT_TRUE(fs::exists(folder / first));
  EXPECT_EQ(wallpaperFiles(folder), std::vector<std::string>{first});
  EXPECT_TRUE(textsOverPicture(preview));

  pane.useWallpaper(picture);
  ASSERT_TRUE(waitUntil([&] { return store.preferences().prefs().wallpaperFile != first; }));
  EXPECT_FALSE(fs::exists(folder / first));
  const std::string second = *store.preferences().prefs().wallpaperFile;
  ASSERT_TRUE(SettingsHarness::click(removePictureButton(pane)));
  EXPECT_FALSE(store.preferences().prefs().wallpaperFile);
  EXPECT_FALSE(fs::exists(folder / second));
  EXPECT_EQ(store.preferences().prefs().startBackground, StartBackground::wallpaper);
  pump();
  EXPECT_FALSE(textsOverPicture(preview));

  // Two pictures chosen in quick succession leave one file behind: the one shown.
  int copies = 0;
  auto counting = store.preferences().observablePrefs().signalChanged().connect([&] { ++copies; });
  pane.useWallpaper(picture);
  pane.useWallpaper(picture);
  // Each copy writes the name, then the background kind (unchanged, so not counted).
  ASSERT_TRUE(waitUntil([&] { return copies == 2; }));
  counting.disconnect();
  EXPECT_EQ(wallpaperFiles(folder),
            std::vector<std::string>{*store.preferences().prefs().wallpaperFile});
  ASSERT_TRUE(SettingsHarness::click(removePictureButton(pane)));

  // A stored name the browser did not make (a hand-edited settings file) is never loaded,
  // deleted or replaced on disk: the name is only forgotten.
  harness.home().writeFile(folder / "session-copy.png", "not ours");
  writePicture(folder / ".." / "outside.png");
  for (const std::string stored : {"session-copy.png", "../outside.png"}) {
    store.preferences().updatePrefs([&](AppPreferences& prefs) { prefs.wallpaperFile = stored; });
    pump();
    EXPECT_FALSE(
        testing::byWidgetName<StartBackgroundView>(preview, "StartBackgroundView").showsPicture())
        << stored;
    pane.useWallpaper(picture);
    ASSERT_TRUE(waitUntil([&] { return store.preferences().prefs().wallpaperFile != stored; }))
        << stored;
    EXPECT_TRUE(fs::exists(folder / stored)) << stored;
    store.preferences().updatePrefs([&](AppPreferences& prefs) { prefs.wallpaperFile = stored; });
    ASSERT_TRUE(SettingsHarness::click(removePictureButton(pane)));
    EXPECT_FALSE(store.preferences().prefs().wallpaperFile);
    EXPECT_TRUE(fs::exists(folder / stored)) << stored;
  }
}

}  // namespace
}  // namespace zemblo
