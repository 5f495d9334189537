#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <gtkmm.h>

#include "model/autofill_menu.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserTab;
class SystemColorScheme;

// The menu of saved logins under a login field of the page: a heading, then one row per login
// with the key tile, the username and the host it was saved for, or a row saying there is none.
// The browser draws it over the web view, in a surface of its own, so nothing of the page can
// hide, cover, restyle or detect it. It opens when the tab's page asks after the user's press in
// the field, whether or not the site has logins, so that what the page receives of the user's
// keys and pointer tells it nothing about them; it follows the field and closes with the tab's
// menu. The page keeps the keyboard; the content area hands the menu its keys.
class AutofillMenuPopover : public Gtk::Popover {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // How long the menu must have been on screen under the field, where it was placed and with the
  // rows it shows, before a click or a key chooses a row: a click or a key press the page asked
  // for, on something of its own or "to start a game", lands on nothing.
  static constexpr std::chrono::milliseconds kChoiceDelay{500};
  static constexpr int kMinWidth = 240;
  static constexpr int kMaxWidth = 340;
  static constexpr int kGap = 6;
  static constexpr int kPadding = 6;

  explicit AutofillMenuPopover(const SystemColorScheme& scheme);
  ~AutofillMenuPopover() override;

  // The tab whose menu is shown.
  void setTab(std::shared_ptr<BrowserTab> tab);
  // Up and Down move the highlight, Return takes the highlighted login, Escape closes the menu;
  // any other key closes it and goes on to the page, and so does a Return that may not choose
  // yet. True for a key the menu took. Every key press of the page goes through here, and every
  // release through keyReleased, so that the menu knows which keys are down when it appears.
  bool handleKey(guint keyval, guint keycode);
  void keyReleased(guint keycode);
  // The keyboard went elsewhere: releases from now on are not seen.
  void forgetKeys() { keysDown_.clear(); }

  // Time source of the choice delay; tests replace it.
  Clock now = [] { return std::chrono::steady_clock::now(); };

 private:
  struct Row;

  void sync();
  void rebuild(const AutofillMenu& menu);
  void place(const AutofillMenu::Box& field);
  void highlight(std::optional<size_t> index);
  void rowPressed(size_t index);
  // Starts the choice delay again and forgets the keys that are down now.
  void arm();
  bool mayChoose() const;
  void choose(size_t index);
  void close();

  const SystemColorScheme& scheme_;
  std::shared_ptr<BrowserTab> tab_;
  std::optional<AutofillMenu> shown_;
  std::optional<AutofillMenu::Box> placedAt_;
  std::chrono::steady_clock::time_point armedTime_;
  // The keys down now, and those down since the menu was last armed: their presses are repeats.
  std::set<guint> keysDown_;
  std::set<guint> heldSinceArmed_;
  std::optional<size_t> highlighted_;
  Gtk::Box content_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Label heading_;
  std::vector<std::unique_ptr<Row>> rows_;
  Glib::RefPtr<Gtk::CssProvider> style_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
