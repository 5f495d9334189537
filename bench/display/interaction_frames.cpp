// How the browser window keeps up while the user acts on it, driven as input would drive it:
// dragging a settings slider (one new value every frame), Ctrl+Tab held (a key repeat every
// 33 ms) through a space of 100 tabs, scrolling that tab list, typing in the command bar (ten
// letters a second) with 2,000 history entries, and the peek sidebar coming out and going.
// Each reports the frames painted, the intervals of the frame clock (p50, p95, p99), the paint
// time and the main thread's busy share.
//
//   zemblo_interaction_frames [SECONDS [NAME...]]   SECONDS per measurement (default 5); NAMEs
//                                                   pick measurements by the start of their names
// Run it under a display of 1440 × 920, for example:
//   dbus-run-session -- xvfb-run -a -s "-screen 0 1440x920x24"
//       build/bench/bench/zemblo_interaction_frames

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../../tests/support/find_widget.h"
#include "../scratch_home.h"
#include "app/browser_commands.h"
#include "display_bench.h"
#include "model/browser_tab.h"
#include "settings/kit/pane_body.h"
#include "settings/settings_view.h"
#include "sidebar/sidebar_view.h"
#include "sidebar/tab_list_view.h"
#include "support/find_settings_widgets.h"
#include "support/find_sidebar.h"
#include "support/find_window.h"
#include "window/command_bar.h"

namespace {

using namespace zemblo;
using namespace zemblo::bench;

constexpr int kTabs = 100;
constexpr size_t kHistory = 2000;

// What a user types into the command bar, letter by letter, again and again.
constexpr const char* kTyped = "page 42 lorem ipsum";

void dragSlider(Measurements& run, Browser& browser) {
  if (!run.wanted("slider")) return;
  SettingsView settings(settingsModels(*browser.store, [&] { return &browser.store->tabs(); }),
                        browser.favicons, browser.colorScheme);
  settings.present();
  settings.select(SettingsPane::sidebar);
  runUntil([&] { return settings.get_mapped(); }, std::chrono::seconds(10));
  runFor(std::chrono::seconds(1));
  // The pane's one slider: the sidebar's width.
  GtkWidget* slider =
      zemblo::testing::findFirst(GTK_WIDGET(zemblo::testing::shownPane(settings).gobj()),
                                 [](GtkWidget* widget) { return GTK_IS_SCALE(widget); });
  if (!slider) return;
  int step = 0;
  // To and fro across the range, a value every frame, as a dragging hand gives them.
  run.measure(
      settings, "slider drag: settings window",
      [&](double) {
        const int phase = step++ % 100;
        const double value = 200 + 4 * (phase < 50 ? phase : 100 - phase) + 0.3;
        gboolean handled = FALSE;
        g_signal_emit_by_name(slider, "change-value", GTK_SCROLL_JUMP, value, &handled);
      },
      browser.window.get(), "slider drag: browser window");
}

// A held key's repeats, on the keyboard's own clock: however late the browser is, a repeat falls
// due every `period` from the start, and those it could not take in time wait for it, queued as the
// display server queues them. A plain timeout would count its period from its last run instead,
// and slow the repeats down whenever the browser is slow.
//
// The repeats come from one source the main loop holds from the first press on, as key events
// come from the display connection the toolkit opened at the start: when the browser is late,
// the main loop hands it the repeats that fell due ahead of the timers the browser set since, on
// the same priority. A timeout made anew after each press would come after them.
class KeyRepeat {
 public:
  KeyRepeat(std::chrono::milliseconds period, std::function<void()> press)
      : period_(std::chrono::duration_cast<std::chrono::microseconds>(period).count()),
        press_(std::move(press)),
        start_(g_get_monotonic_time()),
        source_(g_source_new(&kFuncs, sizeof(GSource))) {
    g_source_set_callback(source_, &KeyRepeat::pressDue, this, nullptr);
    g_source_set_ready_time(source_, start_ + period_);
    g_source_attach(source_, nullptr);
  }
  ~KeyRepeat() {
    g_source_destroy(source_);
    g_source_unref(source_);
  }
  KeyRepeat(const KeyRepeat&) = delete;
  KeyRepeat& operator=(const KeyRepeat&) = delete;

 private:
  static gboolean dispatch(GSource*, GSourceFunc callback, gpointer data) { return callback(data); }
  static gboolean pressDue(gpointer data) {
    auto& self = *static_cast<KeyRepeat*>(data);
    const gint64 due = (g_get_monotonic_time() - self.start_) / self.period_;
    for (; self.pressed_ < due; ++self.pressed_) self.press_();
    g_source_set_ready_time(self.source_, self.start_ + (self.pressed_ + 1) * self.period_);
    return G_SOURCE_CONTINUE;
  }
  static inline GSourceFuncs kFuncs{nullptr, nullptr, &KeyRepeat::dispatch,
                                    nullptr, nullptr, nullptr};

  const gint64 period_;
  const std::function<void()> press_;
  const gint64 start_;
  gint64 pressed_ = 0;
  GSource* const source_;
};

// Ctrl+Tab held as the X server delivers it: real key events from a program of its own (a press
// and release of Tab every 33 ms while Ctrl is down), through the window's key handling and the
// menu's shortcuts as a user's keyboard goes, for `seconds` and a little more.
void holdCtrlTabOnX(Gtk::Window& window, int seconds) {
  const std::optional<unsigned long> id = xWindowOf(window);
  if (!id) return;
  const std::string command = "xdotool windowfocus --sync " + std::to_string(*id) +
                              " keydown ctrl key --delay 0 --repeat " +
                              std::to_string((seconds + 2) * 30) +
                              " --repeat-delay 33 Tab keyup ctrl";
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  GError* error = nullptr;
  if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr,
                     nullptr, &error)) {
    std::fprintf(stderr, "could not run xdotool: %s\n", error->message);
    g_error_free(error);
  }
}

}  // namespace

int main(int argc, char** argv) {
  auto run = Measurements::fromArguments(argc, argv);
  ScratchHome home;
  auto started = Browser::start(home.root);
  Browser& browser = *started;
  BrowserStore& store = *browser.store;
  // The window's menus and keys, for the keys that come through the X server.
  BrowserMenu menu(*browser.window,
                   BrowserCommands(store, AppLanguage::turkish, PageDarkMode::off, &store.tabs()));
  PageServer server(1);
  auto first = store.tabs().openTab(server.address(0), false);
  runUntil([&] { return first->title.peek() == "Page 0" && browser.window->get_mapped(); },
           std::chrono::seconds(30));
  runFor(std::chrono::seconds(1));
  GskRenderer* renderer = gtk_native_get_renderer(GTK_NATIVE(browser.window->gobj()));
  std::printf("renderer %s, window %d × %d, %d s per measurement\n", G_OBJECT_TYPE_NAME(renderer),
              browser.window->get_width(), browser.window->get_height(), run.seconds());
  FrameMeter::printHeader();

  dragSlider(run, browser);

  // A space of 100 tabs, as a session brings them back: each page loads when first shown.
  for (int n = 1; n < kTabs; ++n) {
    auto tab = std::make_shared<BrowserTab>(Uuid::random(), server.address(n),
                                            "Page " + std::to_string(n));
    store.tabs().insertTab(tab);
  }
  store.tabs().select(*first);
  runFor(std::chrono::seconds(1));
  // The key repeats come every 33 ms, however long a frame takes; frames are asked for all
  // along, so that a late one shows.
  size_t steps = 0;
  const auto holdCtrlTab = [&](const char* name) {
    KeyRepeat repeats(std::chrono::milliseconds(33), [&] {
      store.tabs().selectAdjacentTab(true);
      ++steps;
    });
    run.countInputs(&steps);
    run.measure(*browser.window, name, [](double) {});
    run.countInputs(nullptr);
  };
  holdCtrlTab("Ctrl+Tab held, pages loading");
  // Every page shown once and loaded.
  if (run.wanted("Ctrl+Tab held, pages loaded") || run.wanted("Ctrl+Tab held, X keys")) {
    for (const auto& tab : store.tabs().currentSpace()->tabs.peek()) {
      store.tabs().select(*tab);
      runUntil([&] { return !tab->isLoading.peek() && tab->progress.peek() >= 1; },
               std::chrono::seconds(20));
    }
  }
  holdCtrlTab("Ctrl+Tab held, pages loaded");
  if (run.wanted("Ctrl+Tab held, X keys")) {
    // Each Tab the window is handed, counted by its release: the shortcuts take the press.
    auto counter = Gtk::EventControllerKey::create();
    counter->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    counter->signal_key_released().connect([&](guint key, guint, Gdk::ModifierType) {
      if (key == GDK_KEY_Tab) ++steps;
    });
    browser.window->add_controller(counter);
    holdCtrlTabOnX(*browser.window, run.seconds());
    run.countInputs(&steps);
    run.measure(*browser.window, "Ctrl+Tab held, X keys", [](double) {});
    run.countInputs(nullptr);
    browser.window->remove_controller(counter);
  }
  store.tabs().select(*first);
  runFor(std::chrono::seconds(1));

  Gtk::ScrolledWindow& list =
      zemblo::testing::widgetNamed<TabListView>(browser.window->sidebarView(), "TabListView")
          .scroller();
  double direction = 1;
  run.measure(*browser.window, "tab list scrolled", [&](double) {
    // A touchpad's smooth scroll: about 700 points a second, back at either end.
    const auto adjustment = list.get_vadjustment();
    const double end = adjustment->get_upper() - adjustment->get_page_size();
    double value = adjustment->get_value() + 12 * direction;
    if (value >= end || value <= 0) direction = -direction;
    adjustment->set_value(std::clamp(value, 0.0, end));
  });

  for (size_t n = 0; n < kHistory; ++n) {
    store.history().recordVisit(*Url::parse("https://site" + std::to_string(n % 300) +
                                            ".example/page/" + std::to_string(n)),
                                "Page " + std::to_string(n) + " lorem ipsum dolor sit amet");
  }
  std::printf("%zu history entries, %zu tabs\n", store.history().entries.peek().size(),
              store.tabs().currentSpace()->tabs.peek().size());
  store.tabs().commandBar.set(CommandBarMode::newTab);
  runFor(std::chrono::seconds(1));
  // Ten letters a second, as key events.
  size_t typed = 0;
  sigc::connection keys = Glib::signal_timeout().connect(
      [&] {
        if (CommandBar* bar = testing::activeView<CommandBar>(*browser.window, "CommandBar")) {
          const size_t at = typed++ % std::strlen(kTyped);
          Gtk::Text& field = testing::textFieldIn(*bar);
          if (at == 0) field.delete_text(0, -1);
          int position = field.get_text().length();
          field.insert_text(std::string(1, kTyped[at]), 1, position);
        }
        return true;
      },
      100);
  run.measure(*browser.window, "typing in the command bar", [](double) {});
  keys.disconnect();
  store.tabs().commandBar.set(std::nullopt);

  store.tabs().sidebarVisible.set(false);
  runFor(std::chrono::seconds(1));
  run.measure(*browser.window, "peek sidebar out and in", every(0.45, [&](bool show) {
    if (show) {
      browser.window->hoverStripEntered();
    } else {
      browser.window->peekSidebarLeft();
    }
  }));
  return 0;
}
