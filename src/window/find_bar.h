#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "platform/alive_token.h"
#include "platform/observable.h"

typedef struct _WebKitFindController WebKitFindController;

namespace zemblo {

class WindowModel;
class BrowserTab;
class SystemColorScheme;

// The floating bar that finds text in the selected tab's page: typing searches forward, Return
// finds the next match, Shift+Return the previous one, Escape closes the bar. The search ignores
// case and wraps around the page.
class FindBar : public Gtk::Widget {
 public:
  FindBar(WindowModel& tabs, const SystemColorScheme& scheme);
  ~FindBar() override;

  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();

  // Searches the page for the query; an empty query only clears the not-found hint. Only the
  // answer to the newest search is shown, however late older answers arrive.
  void find(bool backwards);
  // Return in the field: backwards while Shift is held.
  void submit(bool shiftHeld);
  void close();
  void focusField();
  // A key pressed while the focus is in the bar; true when the bar used it.
  bool keyPressed(guint keyval, Gdk::ModifierType state);
  // Starts a fresh showing: empty field, no hint.
  void reset();

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void on_map() override;

 private:
  std::string query() const;
  void answered(uint64_t search, std::optional<unsigned> matchCount);

  WindowModel& tabs_;
  const SystemColorScheme& scheme_;
  std::shared_ptr<BrowserTab> tab_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Image icon_;
  Gtk::Text field_;
  Gtk::Label notFoundLabel_;
  Gtk::Separator divider_{Gtk::Orientation::VERTICAL};
  Gtk::Button previousButton_;
  Gtk::Button nextButton_;
  Gtk::Button closeButton_;
  Observable<bool> notFound_{false};
  uint64_t latestSearch_ = 0;
  AliveToken alive_;
  bool focusWhenMapped_ = false;
  bool resetting_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
