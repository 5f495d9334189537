#pragma once

#include "model/color.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

class BrowserStore;

// What every view of the settings window reads: the one store and the window's light or dark
// appearance. Both outlive the window's views. Reading either inside a view's sync subscribes
// the view to it.
class SettingsContext {
 public:
  SettingsContext(BrowserStore& store, const SystemColorScheme& scheme)
      : store_(store), scheme_(scheme) {}

  BrowserStore& store() const { return store_; }
  ColorScheme scheme() const { return scheme_.get(); }

 private:
  BrowserStore& store_;
  const SystemColorScheme& scheme_;
};

}  // namespace zemblo
