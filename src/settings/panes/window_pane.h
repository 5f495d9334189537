#pragma once

#include "settings/kit/pane_body.h"
#include "settings/kit/slider_row.h"
#include "settings/settings_context.h"

namespace zemblo {

// The browser window around the page: the content card's corners, margin and shadow with three
// presets, the loading bar and the command bar, under the live preview.
class WindowPane : public PaneBody {
 public:
  static constexpr SliderRow::Range kCornerRadiusRange{0, 24, 1};
  static constexpr SliderRow::Range kContentInsetRange{0, 16, 1};

  explicit WindowPane(const SettingsContext& context);
};

}  // namespace zemblo
