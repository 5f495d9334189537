#pragma once

#include <memory>

#include <gtkmm.h>

namespace zemblo {

class BrowserStore;

// The settings window. Unlike the other windows it keeps its state across a change of language.
class SettingsView : public Gtk::Window {
 public:
  explicit SettingsView(BrowserStore& store);

 private:
  BrowserStore& store_;
};

}  // namespace zemblo
