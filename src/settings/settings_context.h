#pragma once

#include "model/color.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

class BrowserStore;
class FaviconLoader;

// What every view of the settings window reads: the one store, the site icons and the window's
// light or dark appearance. All outlive the window's views. Reading either inside a view's sync
// subscribes the view to it.
class SettingsContext {
 public:
  SettingsContext(BrowserStore& store, FaviconLoader& favicons, const SystemColorScheme& scheme)
      : store_(store), favicons_(favicons), scheme_(scheme) {}

  BrowserStore& store() const { return store_; }
  FaviconLoader& favicons() const { return favicons_; }
  ColorScheme scheme() const { return scheme_.get(); }

 private:
  BrowserStore& store_;
  FaviconLoader& favicons_;
  const SystemColorScheme& scheme_;
};

}  // namespace zemblo
