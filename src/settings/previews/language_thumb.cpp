#include "settings/previews/language_thumb.h"

#include "settings/previews/picture_stack.h"
#include "settings/previews/settings_paint.h"
#include "settings/settings_style.h"

namespace zemblo {
namespace {

constexpr double kGradientOpacity = 0.18;
constexpr double kSpacing = 4;
constexpr double kGlobePoints = 24;
constexpr double kGreetingPoints = 18;
constexpr double kTagPoints = 10;
constexpr double kSecondaryOpacity = 0.5;

}  // namespace

LanguageThumb::Lines LanguageThumb::lines(AppLanguage language) {
  switch (language) {
    case AppLanguage::turkish:
      return {"Merhaba", "TR"};
    case AppLanguage::english:
      return {"Hello", "EN"};
    case AppLanguage::system:
      break;
  }
  // The system's language is the desktop's.
  return {nullptr, "Linux"};
}

LanguageThumb::LanguageThumb(const SettingsContext& context, AppLanguage language)
    : OptionThumbnail(context), language_(language) {
  set_name("LanguageThumb");
}

void LanguageThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  paint::appendLinearGradient(s, bounds,
                              gradient(palette().direction, palette().primary, palette().secondary),
                              kGradientOpacity);
  const Lines text = lines(language_);
  PictureStack stack(*this, kSpacing);
  const GdkRGBA secondary = primary(kSecondaryOpacity);
  if (text.first) {
    stack.addText(text.first, kGreetingPoints, Pango::Weight::SEMIBOLD, primary(1));
    stack.addText(text.second, kTagPoints, Pango::Weight::BOLD, secondary,
                  SettingsStyle::fontFamily(InterfaceFont::rounded));
  } else {
    stack.addSymbol("globe", kGlobePoints, primary(1));
    stack.addText(text.second, kTagPoints, Pango::Weight::MEDIUM, secondary);
  }
  stack.draw(s, bounds);
}

}  // namespace zemblo
