#pragma once

#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of an interface font: "Aa" and a time of day set in the font's design.
class FontPreview : public OptionThumbnail {
 public:
  FontPreview(const SettingsContext& context, InterfaceFont font);

  // The Pango families the sample is set in: the font's design, or the desktop's own font.
  static std::string family(InterfaceFont font);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  InterfaceFont font_;
};

}  // namespace zemblo
