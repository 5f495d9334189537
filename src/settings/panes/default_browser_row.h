#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/alive_token.h"
#include "platform/default_browser.h"
#include "settings/kit/settings_row.h"

namespace zemblo {

// Says whether links and web pages from other programs open in this browser, with a button that
// makes it so while they don't. Where the desktop does not know the browser (not installed),
// the row says that instead of offering a button that cannot work. The desktop's associations are
// read and written off the main thread; the row is named "default-browser".
class DefaultBrowserRow : public SettingsRow {
 public:
  DefaultBrowserRow();
  ~DefaultBrowserRow() override;

 private:
  void check();
  void makeDefault();
  void show(default_browser::Status status);

  Gtk::Button button_;
  // Work on another thread finds the row gone through this.
  AliveToken alive_;
};

}  // namespace zemblo
