#include <gtest/gtest.h>

#include <adwaita.h>
#include <gtk/gtk.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/key_cap.h"
#include "settings/kit/pane_body.h"
#include "settings/kit/segmented_row.h"
#include "settings/kit/slider_row.h"
#include "settings/kit/toggle_row.h"
#include "settings/previews/density_thumb.h"
#include "settings/previews/interface_preview.h"
#include "settings/previews/side_thumb.h"
#include "settings/previews/theme_thumb.h"
#include "settings/settings_harness.h"
#include "settings/settings_style.h"
#include "web/favicon_loader.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SettingsHarness;

std::string points(double value) { return std::to_string(int(value)) + " pt"; }

// A pane made of every part of the kit, bound to the store's preferences the way the panes bind
// them.
class KitGallery : public Gtk::Window {
 public:
  explicit KitGallery(BrowserStore& store)
      : context_(settingsModels(store, [&store] { return &store.tabs(); }), favicons_, scheme_),
        style_(get_display()),
        body_(SettingsPane::sidebar) {
    add_css_class(SettingsStyle::kWindowClass);
    style_.setAccent(themeColors(store.preferences(), store.tabs()).primary);
    set_default_size(660, -1);
    body_.set_margin_start(32);
    body_.set_margin_end(32);
    body_.set_margin_top(28);
    body_.set_margin_bottom(28);

    auto& layout = body_.addSection("Yerleşim", "Kenar çubuğu pencerenin bu tarafında durur.");
    side = &layout.add<ChoiceCards<SidebarSide>>(
        context_, std::vector<SidebarSide>(std::begin(sides), std::end(sides)),
        prefBinding(store.preferences(), &AppPreferences::sidebarSide),
        [](const SidebarSide& side) { return label(side); },
        [this](const SidebarSide& side) -> Gtk::Widget* {
          return Gtk::make_managed<SideThumb>(context_, side);
        });
    width = &layout.add<SliderRow>("Genişlik", std::nullopt, "arrow.left.and.right",
                                   prefBinding(store.preferences(), &AppPreferences::sidebarWidth),
                                   SliderRow::Range{200, 400, 4}, points);
    auto& tabs = body_.addSection("Sekmeler");
    density = &tabs.add<ChoiceCards<TabDensity>>(
        context_, std::vector<TabDensity>(std::begin(densities), std::end(densities)),
        prefBinding(store.preferences(), &AppPreferences::tabDensity),
        [](const TabDensity& density) { return label(density); },
        [this](const TabDensity& density) -> Gtk::Widget* {
          return Gtk::make_managed<DensityThumb>(context_, density);
        });
    theme = &tabs.add<ChoiceCards<ThemeMode>>(
        context_, std::vector<ThemeMode>(std::begin(themes), std::end(themes)),
        prefBinding(store.preferences(), &AppPreferences::theme),
        [](const ThemeMode& mode) { return label(mode); },
        [this](const ThemeMode& mode) -> Gtk::Widget* {
          return Gtk::make_managed<ThemeThumb>(context_, mode);
        });
    auto& favorites = body_.addSection("Favoriler");
    show =
        &favorites.add<ToggleRow>("Favorileri göster", "Kenar çubuğunun üstünde", "star",
                                  prefBinding(store.preferences(), &AppPreferences::showFavorites));
    columns = &favorites.add<SegmentedRow<int64_t>>(
        "Sütun sayısı", std::nullopt, "square.grid.3x2", std::vector<int64_t>{3, 4, 5},
        prefBinding(store.preferences(), &AppPreferences::favoriteColumns),
        [](const int64_t& count) { return std::to_string(count); }, 140);
    auto& keys = favorites.add<SettingsRow>("Yeni sekme", std::nullopt, "command");
    auto* caps = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
    caps->append(*Gtk::make_managed<KeyCap>("Ctrl"));
    caps->append(*Gtk::make_managed<KeyCap>("T"));
    keys.setAccessory(*caps, false);

    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller->set_propagate_natural_height(true);
    scroller->set_max_content_height(880);
    scroller->add_css_class("settings-root");
    scroller->set_child(body_);
    set_child(*scroller);
  }

  static constexpr SidebarSide sides[] = {SidebarSide::leading, SidebarSide::trailing};
  static constexpr TabDensity densities[] = {TabDensity::compact, TabDensity::regular,
                                             TabDensity::spacious};
  static constexpr ThemeMode themes[] = {ThemeMode::system, ThemeMode::light, ThemeMode::dark};

  ChoiceCardRow* side = nullptr;
  SliderRow* width = nullptr;
  ChoiceCardRow* density = nullptr;
  ChoiceCardRow* theme = nullptr;
  ToggleRow* show = nullptr;
  SegmentedRow<int64_t>* columns = nullptr;

 private:
  SystemColorScheme scheme_;
  FaviconLoader favicons_;
  SettingsContext context_;
  SettingsStyle style_;
  PaneBody body_;
};

// Counts the changes of the preferences.
struct PrefsChanges {
  explicit PrefsChanges(BrowserStore& store)
      : connection(
            store.preferences().observablePrefs().signalChanged().connect([this] { ++count; })) {}
  ~PrefsChanges() { connection.disconnect(); }
  int count = 0;
  sigc::connection connection;
};

// The segment of the gallery's column count that shows `index` columns more than three.
Gtk::ToggleButton& column(Gtk::Widget& gallery, size_t index) {
  return testing::segment(gallery, "Sütun sayısı", std::to_string(3 + index));
}

// What Space or Enter does on the focused control. Buttons show themselves pressed for a moment
// before they report the click.
void press(Gtk::Widget& control) {
  if (auto* button = dynamic_cast<Gtk::Button*>(&control))
    EXPECT_TRUE(testing::press(*button));
  else
    control.activate();
  pump();
}

TEST(SettingsKitTest, ControlsShowTheStoredValueWithoutWritingAndWriteEachUserChangeOnce) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  // A hand-edited file: values the controls do not offer.
  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.sidebarWidth = 500;
    prefs.favoriteColumns = 7;
  });
  // Saves follow each other at most every save interval, so the file may take the edit late.
  testing::savedPrefs(harness);
  const std::string before = harness.defaultsFile();
  PrefsChanges changes(store);
  KitGallery gallery(store);
  gallery.present();
  pump();
  EXPECT_EQ(changes.count, 0);
  EXPECT_EQ(harness.defaultsFile(), before);
  EXPECT_EQ(testing::badge(gallery, "Genişlik"), "500 pt");
  EXPECT_EQ(testing::sliderIn(*gallery.width).get_value(), 400);
  for (size_t i = 0; i < 3; ++i) EXPECT_FALSE(column(gallery, i).get_active());

  press(testing::switchIn(*gallery.show));
  EXPECT_FALSE(store.preferences().prefs().showFavorites);
  gboolean handled = FALSE;
  g_signal_emit_by_name(testing::sliderIn(*gallery.width).gobj(), "change-value", GTK_SCROLL_JUMP,
                        231.7, &handled);
  pump();
  EXPECT_EQ(store.preferences().prefs().sidebarWidth, 232);
  EXPECT_EQ(testing::badge(gallery, "Genişlik"), "232 pt");
  press(column(gallery, 0));
  EXPECT_EQ(store.preferences().prefs().favoriteColumns, 3);
  press(testing::choiceCard(*gallery.density, 2));
  EXPECT_EQ(store.preferences().prefs().tabDensity, TabDensity::spacious);
  EXPECT_TRUE(testing::pressed(testing::choiceCard(*gallery.density, 2)));
  // The chosen card again: written again, but nothing changes.
  press(testing::choiceCard(*gallery.density, 2));
  EXPECT_EQ(changes.count, 4);
  const AppPreferences saved = testing::savedPrefs(harness);
  EXPECT_EQ(saved.sidebarWidth, 232);
  EXPECT_FALSE(saved.showFavorites);
  EXPECT_EQ(saved.favoriteColumns, 3);
  EXPECT_EQ(saved.tabDensity, TabDensity::spacious);

  // A change made elsewhere moves the controls and writes nothing more.
  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.tabDensity = TabDensity::compact;
    prefs.favoriteColumns = 5;
    prefs.showFavorites = true;
  });
  pump();
  EXPECT_EQ(changes.count, 5);
  EXPECT_TRUE(testing::pressed(testing::choiceCard(*gallery.density, 0)));
  EXPECT_FALSE(testing::pressed(testing::choiceCard(*gallery.density, 2)));
  EXPECT_TRUE(column(gallery, 2).get_active());
  EXPECT_TRUE(testing::switchIn(*gallery.show).get_active());

  // A hidden row takes the divider above it along.
  auto* divider = gallery.columns->get_prev_sibling();
  ASSERT_TRUE(divider && divider->get_visible());
  gallery.columns->set_visible(false);
  EXPECT_FALSE(divider->get_visible());
  SettingsHarness::shot(*gallery.get_child(), "settings-kit-light-tr");
}

TEST(SettingsKitTest, TabReachesEveryControlArrowsMoveBetweenOptionsAndEachHasAName) {
  SettingsHarness harness;
  KitGallery gallery(harness.store());
  gallery.present();
  pump();
  const std::vector<Gtk::Widget*> chain = SettingsHarness::tabChain(gallery);
  std::vector<Gtk::Widget*> controls{&testing::sliderIn(*gallery.width),
                                     &testing::switchIn(*gallery.show)};
  for (ChoiceCardRow* row : {gallery.side, gallery.density, gallery.theme}) {
    for (Gtk::Button* card : testing::choiceCards(*row)) controls.push_back(card);
  }
  for (size_t i = 0; i < 3; ++i) controls.push_back(&column(gallery, i));
  for (Gtk::Widget* control : controls) {
    EXPECT_NE(std::find(chain.begin(), chain.end(), control), chain.end()) << control->get_name();
    EXPECT_TRUE(SettingsHarness::hasAccessibleName(*control)) << control->get_name();
  }
  for (Gtk::Widget* focus : chain)
    EXPECT_TRUE(SettingsHarness::hasAccessibleName(*focus)) << focus->get_name();
  EXPECT_EQ(
      gtk_test_accessible_check_property(GTK_ACCESSIBLE(testing::switchIn(*gallery.show).gobj()),
                                         GTK_ACCESSIBLE_PROPERTY_LABEL, "Favorileri göster"),
      nullptr);

  testing::choiceCard(*gallery.density, 0).grab_focus();
  gallery.child_focus(Gtk::DirectionType::RIGHT);
  EXPECT_EQ(gallery.get_focus(), &testing::choiceCard(*gallery.density, 1));
  column(gallery, 0).grab_focus();
  gallery.child_focus(Gtk::DirectionType::RIGHT);
  EXPECT_EQ(gallery.get_focus(), &column(gallery, 1));

  AdwStyleManager* style = adw_style_manager_get_default();
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_DARK);
  SettingsHarness::shot(*gallery.get_child(), "settings-kit-dark");
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_DEFAULT);
}

// A user drags the sidebar width to and fro, one new value every frame, while the settings window
// shows the live preview and the browser window its sidebar. Set ZEMBLO_DRAG_SECONDS for a longer
// drag; the frame times are printed.
TEST(SettingsKitTest, ADraggedSliderRedrawsThePreviewEveryFrameAndWritesAFewTimesASecond) {
  SettingsHarness harness;
  KitGallery gallery(harness.store());
  gallery.present();
  pump();
  const char* setting = std::getenv("ZEMBLO_DRAG_SECONDS");
  const double seconds = setting ? std::atof(setting) : 1.5;

  const int watch = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  const auto file = harness.defaults().file();
  std::filesystem::create_directories(file.parent_path());
  ASSERT_GE(inotify_add_watch(watch, file.parent_path().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);

  InterfacePreview& preview = *harness.preview();
  std::vector<gint64> frames;
  GdkFrameClock* clock = gtk_widget_get_frame_clock(preview.gobj());
  const gulong painted = g_signal_connect(
      clock, "after-paint", G_CALLBACK(+[](GdkFrameClock* clock, std::vector<gint64>* frames) {
        frames->push_back(gdk_frame_clock_get_frame_time(clock));
      }),
      &frames);
  int step = 0;
  Gtk::Scale& slider = testing::sliderIn(*gallery.width);
  const guint tick = preview.add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) {
    const int phase = step++ % 100;
    const double value = 200 + 4 * (phase < 50 ? phase : 100 - phase) + 0.3;
    gboolean handled = FALSE;
    g_signal_emit_by_name(slider.gobj(), "change-value", GTK_SCROLL_JUMP, value, &handled);
    return true;
  });
  const auto start = std::chrono::steady_clock::now();
  testing::waitUntil([] { return false; }, std::chrono::milliseconds(int(seconds * 1000)));
  preview.remove_tick_callback(tick);
  g_signal_handler_disconnect(clock, painted);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const AppPreferences saved = testing::savedPrefs(harness);

  int writes = 0;
  alignas(inotify_event) char buffer[16384];
  for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;) {
    for (char* p = buffer; p < buffer + n;) {
      const auto* event = reinterpret_cast<inotify_event*>(p);
      if (event->len && file.filename() == event->name) ++writes;
      p += sizeof(inotify_event) + event->len;
    }
  }
  close(watch);

  std::vector<double> intervals;
  for (size_t i = 1; i < frames.size(); ++i) intervals.push_back((frames[i] - frames[i - 1]) / 1e3);
  std::sort(intervals.begin(), intervals.end());
  ASSERT_FALSE(intervals.empty());
  const auto at = [&](double q) { return intervals[size_t(q * double(intervals.size() - 1))]; };
  const auto drawStart = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) SettingsHarness::render(preview);
  const double drawMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - drawStart)
          .count() /
      20;
  std::printf(
      "drag %.1f s: %zu preview frames, %zu slider moves; frame interval median %.1f ms, 95th "
      "percentile %.1f ms, longest %.1f ms; one preview drawn and rendered alone in %.2f ms; "
      "%d writes of the settings file\n",
      elapsed, frames.size(), size_t(step), at(0.5), at(0.95), intervals.back(), drawMs, writes);

  EXPECT_GE(writes, 1);
  EXPECT_LE(writes, int(elapsed / 0.25) + 2);
  const double stored = harness.store().preferences().prefs().sidebarWidth;
  EXPECT_EQ(std::fmod(stored - 200, 4), 0);
  EXPECT_EQ(saved.sidebarWidth, stored);
  // The preview takes the last value on its next frame.
  EXPECT_TRUE(testing::waitUntil([&] {
    return std::abs(SettingsHarness::drawnSidebarWidth(preview) -
                    stored * InterfacePreview::kPaneScale) < 1e-3;
  })) << SettingsHarness::drawnSidebarWidth(preview);
}

}  // namespace
}  // namespace zemblo
