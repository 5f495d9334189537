#pragma once

#include <memory>

#include <gtkmm.h>

namespace zemblo {

class BrowserStore;

// The passwords window. Rebuilt with fresh state (and so locked again) when the language changes.
class PasswordsWindow : public Gtk::Window {
 public:
  static constexpr int kDefaultWidth = 860;
  static constexpr int kDefaultHeight = 560;

  explicit PasswordsWindow(BrowserStore& store);

  void rebuildContent();

 private:
  BrowserStore& store_;
};

}  // namespace zemblo
