#pragma once

#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a page dark-mode choice: a small web page as it would be shown, light when
// off, dark always, and light beside dark when it follows the theme. Its photo keeps its
// colours either way, as the darkening leaves pictures alone.
class PageDarkThumb : public OptionThumbnail {
 public:
  PageDarkThumb(const SettingsContext& context, PageDarkMode mode);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  void drawPage(GtkSnapshot* snapshot, const graphene_rect_t& bounds, bool dark);

  PageDarkMode mode_;
};

}  // namespace zemblo
