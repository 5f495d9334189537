#include "settings/previews/font_preview.h"

#include "settings/previews/picture_stack.h"
#include "settings/settings_style.h"

namespace zemblo {
namespace {

constexpr double kFillOpacity = 0.04;
constexpr double kSpacing = 2;
constexpr double kSamplePoints = 28;
constexpr double kTimePoints = 11;
constexpr double kSecondaryOpacity = 0.5;

}  // namespace

FontPreview::FontPreview(const SettingsContext& context, InterfaceFont font)
    : OptionThumbnail(context), font_(font) {
  set_name("FontPreview");
}

std::string FontPreview::family(InterfaceFont font) {
  if (auto design = SettingsStyle::fontFamily(font)) return *design;
  // The window's own font may be another design by now; the standard card shows the desktop's.
  const Glib::ustring name = Gtk::Settings::get_default()->property_gtk_font_name().get_value();
  return Pango::FontDescription(name).get_family();
}

void FontPreview::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const GdkRGBA fill = primary(kFillOpacity);
  gtk_snapshot_append_color(s, &fill, &bounds);
  const std::string families = family(font_);
  PictureStack stack(*this, kSpacing);
  stack.addText("Aa", kSamplePoints, Pango::Weight::MEDIUM, primary(1), families);
  stack.addText("12:45", kTimePoints, Pango::Weight::LIGHT, primary(kSecondaryOpacity), families);
  stack.draw(s, bounds);
}

}  // namespace zemblo
