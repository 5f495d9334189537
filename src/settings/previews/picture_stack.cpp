#include "settings/previews/picture_stack.h"

#include <algorithm>

#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

void PictureStack::addText(const std::string& text, double points, Pango::Weight weight,
                           const GdkRGBA& color, std::optional<std::string> family) {
  auto layout = widget_.create_pango_layout(text);
  Pango::FontDescription font = layout->get_context()->get_font_description();
  if (family) font.set_family(*family);
  font.set_absolute_size(points * PANGO_SCALE);
  font.set_weight(weight);
  layout->set_font_description(font);
  int width = 0, height = 0;
  layout->get_pixel_size(width, height);
  items_.push_back({layout, {}, 0, color, double(width), double(height)});
}

void PictureStack::addSymbol(std::string_view symbol, double points, const GdkRGBA& color) {
  const int size = symbolPixelSize(points);
  items_.push_back({nullptr, std::string(symbol), size, color, double(size), double(size)});
}

double PictureStack::height() const {
  double total = 0;
  for (const Item& item : items_) total += item.height;
  if (items_.size() > 1) total += spacing_ * double(items_.size() - 1);
  return total;
}

void PictureStack::draw(GtkSnapshot* s, const graphene_rect_t& bounds) const {
  double y = bounds.origin.y + (bounds.size.height - height()) / 2;
  for (const Item& item : items_) {
    const double x = bounds.origin.x + (bounds.size.width - item.width) / 2;
    if (item.text) {
      const graphene_point_t at = GRAPHENE_POINT_INIT(float(x), float(y));
      gtk_snapshot_save(s);
      gtk_snapshot_translate(s, &at);
      gtk_snapshot_append_layout(s, item.text->gobj(), &item.color);
      gtk_snapshot_restore(s);
    } else {
      appendSymbol(s, widget_, item.symbol, item.pixelSize,
                   paint::rect(x, y, item.width, item.height), item.color);
    }
    y += item.height + spacing_;
  }
}

}  // namespace zemblo
