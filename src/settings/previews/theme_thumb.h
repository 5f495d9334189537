#pragma once

#include <array>

#include "settings/previews/layout_rect.h"
#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a theme choice: a tiny window in a fixed scheme, whatever the settings window
// shows. `system` shows the light window on the left half and the dark one on the right.
class ThemeThumb : public OptionThumbnail {
 public:
  struct Miniature {
    std::array<LayoutRect, 4> sidebarLines;
    LayoutRect card;
  };
  static Miniature miniature(double width, double height);

  ThemeThumb(const SettingsContext& context, ThemeMode mode);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  void drawWindow(GtkSnapshot* snapshot, const graphene_rect_t& bounds, ColorScheme scheme);

  ThemeMode mode_;
};

}  // namespace zemblo
