#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/observable.h"
#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a colour source: the icons of the first four spaces in their colours,
// overlapping, or one disc in the gradient of the two custom colours.
class ColorSourceThumb : public OptionThumbnail {
 public:
  static constexpr size_t kMaximumSpaces = 4;

  struct SpaceDisc {
    std::string symbol;
    Color colorA;
    Color colorB;
    friend bool operator==(const SpaceDisc&, const SpaceDisc&) = default;
  };

  ColorSourceThumb(const SettingsContext& context, ColorSource source);
  ~ColorSourceThumb() override;

  const std::vector<SpaceDisc>& spaceDiscs() const { return discs_; }

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  void sync();
  void drawSpaces(GtkSnapshot* snapshot, const graphene_rect_t& bounds);
  void drawCustom(GtkSnapshot* snapshot, const graphene_rect_t& bounds);

  const SettingsContext& context_;
  ColorSource source_;
  std::vector<SpaceDisc> discs_;
  Color customA_;
  Color customB_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
