#pragma once

#include <array>

#include "settings/previews/layout_rect.h"
#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a tab density: five tab rows of the density's height at the top of the card,
// the first standing for the selected tab.
class DensityThumb : public OptionThumbnail {
 public:
  struct Row {
    LayoutRect frame;
    LayoutRect dot;
    LayoutRect bar;
  };
  static constexpr size_t kRows = 5;
  static double rowHeight(TabDensity density);
  static std::array<Row, kRows> rows(TabDensity density, double width);

  DensityThumb(const SettingsContext& context, TabDensity density);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  TabDensity density_;
};

}  // namespace zemblo
