#pragma once

#include <memory>

#include <gtkmm.h>

namespace zemblo {

class BrowserStore;

// The main browser window. Its content is rebuilt from scratch, with fresh view state, whenever
// the interface language changes.
class BrowserWindow : public Gtk::ApplicationWindow {
 public:
  static constexpr int kMinimumWidth = 880;
  static constexpr int kMinimumHeight = 560;
  static constexpr int kDefaultWidth = 1440;
  static constexpr int kDefaultHeight = 920;

  explicit BrowserWindow(std::shared_ptr<BrowserStore> store);

  // Discards the content and builds it again in the current language.
  void rebuildContent();

 private:
  std::shared_ptr<BrowserStore> store_;
};

}  // namespace zemblo
