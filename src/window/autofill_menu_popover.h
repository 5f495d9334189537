#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <gtkmm.h>

#include "model/autofill_menu.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserTab;
class SystemColorScheme;

// The menu of saved logins under a login field of the page: a heading, then one row per login
// with the key tile, the username and the host it was saved for. The browser draws it over the
// web view, in a surface of its own, so nothing of the page can hide, cover, restyle or detect
// it. It opens when the tab's page asks after the user's press in the field, follows the field
// and closes with the tab's menu. The page keeps the keyboard; the content area hands the menu
// its keys.
class AutofillMenuPopover : public Gtk::Popover {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // How long the menu must have been on screen under the field, where it was placed, before a
  // row takes a click: a click the page meant to draw onto something of its own where the menu
  // then appears lands on nothing.
  static constexpr std::chrono::milliseconds kClickDelay{500};
  static constexpr int kMinWidth = 240;
  static constexpr int kMaxWidth = 340;
  static constexpr int kGap = 6;
  static constexpr int kPadding = 6;

  explicit AutofillMenuPopover(const SystemColorScheme& scheme);
  ~AutofillMenuPopover() override;

  // The tab whose menu is shown.
  void setTab(std::shared_ptr<BrowserTab> tab);
  // Up and Down move the highlight, Return takes the highlighted login, Escape closes the menu;
  // any other key closes it and goes on to the page. True for a key the menu took.
  bool handleKey(guint keyval);

  // Time source of the click delay; tests replace it.
  Clock now = [] { return std::chrono::steady_clock::now(); };

  Gtk::Label& heading() { return heading_; }
  size_t rowCount() const { return rows_.size(); }
  Gtk::Widget& row(size_t index);
  std::optional<size_t> highlighted() const { return highlighted_; }

 private:
  struct Row;

  void sync();
  void rebuild(const AutofillMenu& menu);
  void place(const AutofillMenu::Box& field);
  void highlight(std::optional<size_t> index);
  void rowPressed(size_t index);
  void close();

  const SystemColorScheme& scheme_;
  std::shared_ptr<BrowserTab> tab_;
  std::optional<AutofillMenu> shown_;
  std::optional<AutofillMenu::Box> placedAt_;
  std::chrono::steady_clock::time_point placedTime_;
  std::optional<size_t> highlighted_;
  Gtk::Box content_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Label heading_;
  std::vector<std::unique_ptr<Row>> rows_;
  Glib::RefPtr<Gtk::CssProvider> style_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
