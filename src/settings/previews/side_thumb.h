#pragma once

#include "settings/previews/layout_rect.h"
#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a sidebar side: a block in the theme gradient beside a content card, on the
// side of the option.
class SideThumb : public OptionThumbnail {
 public:
  struct Miniature {
    LayoutRect sidebar;
    LayoutRect card;
  };
  static Miniature miniature(SidebarSide side, double width, double height);

  SideThumb(const SettingsContext& context, SidebarSide side);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  SidebarSide side_;
};

}  // namespace zemblo
