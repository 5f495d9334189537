#pragma once

#include <memory>

#include "platform/observable.h"
#include "settings/kit/pane_body.h"
#include "settings/kit/slider_row.h"
#include "settings/panes/excluded_sites_list.h"
#include "settings/settings_context.h"

namespace zemblo {

// The theme, page dark mode with its strength and the sites it spares, the interface font and
// the reduce-motion switch, under the live preview.
class AppearancePane : public PaneBody {
 public:
  static constexpr SliderRow::Range kBrightnessRange{0.6, 1.3, 0.05};
  static constexpr SliderRow::Range kContrastRange{0.6, 1.4, 0.05};

  explicit AppearancePane(const SettingsContext& context);
  ~AppearancePane() override;

 private:
  void sync();

  const SettingsContext& context_;
  SliderRow* brightness_ = nullptr;
  SliderRow* contrast_ = nullptr;
  ExcludedSitesList* excludedSites_ = nullptr;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
