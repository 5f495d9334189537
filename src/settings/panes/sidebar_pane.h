#pragma once

#include <cstdint>
#include <memory>

#include "platform/observable.h"
#include "settings/kit/pane_body.h"
#include "settings/kit/segmented_row.h"
#include "settings/kit/slider_row.h"
#include "settings/settings_context.h"

namespace zemblo {

// The sidebar column: its side and width, the density of the tab rows and the favourites grid,
// under the live preview.
class SidebarPane : public PaneBody {
 public:
  static constexpr SliderRow::Range kWidthRange{200, 400, 4};
  static constexpr int kColumnsWidth = 140;

  explicit SidebarPane(const SettingsContext& context);
  ~SidebarPane() override;

 private:
  void sync();

  const SettingsContext& context_;
  SegmentedRow<int64_t>* columns_ = nullptr;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
